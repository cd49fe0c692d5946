#include "search/results_grid_format.h"

#include "catalogue/entry_details.h"

#include <QStringList>

namespace platterly::search {

namespace {

QString captionPart(const char* caption, int blanks)
{
    return QLatin1Char('^') + QLatin1String(caption) + QString(blanks, QLatin1Char(' '));
}

bool isAlignmentMark(QChar c)
{
    return c == u'<' || c == u'^' || c == u'>';
}

} // namespace

QString resultsGridFormat()
{
    // The entry's size and time of change follow the three columns the grid always had; the
    // time's column holds "YYYY-MM-DD HH:MM" in digits, which are wider than the average
    // character the widths are counted in.
    return captionPart("CD NAME", 35) + QLatin1Char('|') + captionPart("FILE NAME", 65) +
           QLatin1Char('|') + captionPart("PATH", 164) + QLatin1Char('|') + captionPart("Size", 8) +
           QLatin1Char('|') + captionPart("Modified", 14);
}

std::vector<GridColumn> parseGridFormat(const QString& format)
{
    std::vector<GridColumn> columns;
    for (const QString& part : format.split(QLatin1Char('|'))) {
        GridColumn column;
        column.characters = static_cast<int>(part.size());
        const bool marked = !part.isEmpty() && isAlignmentMark(part.front());
        column.shownCharacters = column.characters - (marked ? 1 : 0);
        column.alignment = marked ? part.front() : QLatin1Char('<');
        column.caption = (marked ? part.mid(1) : part).trimmed();
        columns.push_back(column);
    }
    return columns;
}

QStringList resultCells(const ResultRow& row)
{
    return {row.title, row.name, row.path,
            row.size ? catalogue::sizeForDisplay(*row.size) : QString(),
            row.modified ? catalogue::modifiedForDisplay(*row.modified) : QString()};
}

} // namespace platterly::search
