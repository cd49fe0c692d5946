#include "maintenance/results_grid.h"

namespace platterly::maintenance {

namespace {

QString captionPart(const char* caption, int blanks)
{
    return QLatin1Char('^') + QLatin1String(caption) + QString(blanks, QLatin1Char(' '));
}

bool isAlignmentMark(QChar c)
{
    return c == u'<' || c == u'^' || c == u'>';
}

QString withoutPadding(const QString& caption)
{
    return caption.trimmed();
}

} // namespace

QString resultsGridFormat()
{
    return captionPart("CD NAME", 35) + QLatin1Char('|') + captionPart("FILE NAME", 65) +
           QLatin1Char('|') + captionPart("PATH", 164);
}

std::vector<GridColumn> parseGridFormat(const QString& format)
{
    std::vector<GridColumn> columns;
    for (const QString& part : format.split(QLatin1Char('|'))) {
        GridColumn column;
        column.characters = static_cast<int>(part.size());
        const bool marked = !part.isEmpty() && isAlignmentMark(part.front());
        column.alignment = marked ? part.front() : QLatin1Char('<');
        column.caption = withoutPadding(marked ? part.mid(1) : part);
        columns.push_back(column);
    }
    return columns;
}

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
        data, built.statement,
        [&result](const search::ResultRow& row) {
            result.grid.push_back({row.title, row.name, row.path});
            return true;
        },
        stop);
    return result;
}

} // namespace platterly::maintenance
