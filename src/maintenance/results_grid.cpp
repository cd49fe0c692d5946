#include "maintenance/results_grid.h"

namespace platterly::maintenance {

namespace {

QString withoutPadding(const QString& caption)
{
    return caption.trimmed();
}

} // namespace

QStringList resultsGridHeader()
{
    QStringList captions;
    for (const GridColumn& column : parseGridFormat(resultsGridFormat()))
        captions.append(column.caption);
    return captions;
}

QString exportText(const GridText& grid)
{
    QString text;
    for (std::size_t row = 0; row < grid.size(); ++row) {
        const QStringList& cells = grid[row];
        for (qsizetype column = 0; column < cells.size(); ++column) {
            text += row == 0 ? withoutPadding(cells.at(column)) : cells.at(column);
            text += column + 1 == cells.size() ? QStringLiteral("\r\n") : QStringLiteral("\t");
        }
    }
    return text;
}

SearchGrid searchResultsGrid(sql::DataControl& data, const search::SearchRequest& request,
                             const std::atomic<bool>* stop)
{
    SearchGrid result;
    result.grid.push_back(resultsGridHeader());
    const search::SearchStatement built = search::buildSearchStatement(request);
    result.outcome = search::runSearch(
        data, built,
        [&result](const search::ResultRow& row) {
            result.grid.push_back(search::resultCells(row));
            return true;
        },
        stop);
    return result;
}

} // namespace platterly::maintenance
