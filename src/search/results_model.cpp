#include "search/results_model.h"

#include "platform/system/native_name.h"
#include "search/results_grid_format.h"

#include <climits>

namespace platterly::search {

namespace {

constexpr int kColumns = 5;
constexpr int kSizeColumn = 3;

} // namespace

ResultsModel::ResultsModel(QObject* parent) : QAbstractTableModel(parent) {}

void ResultsModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_shown = 0;
    endResetModel();
}

void ResultsModel::add(const ResultRow& row)
{
    ResultRow kept = row;
    if (!m_rows.empty()) {
        // Share the text of the row before when it is the same: results come grouped by disc
        // and folder, so most titles and many paths repeat.
        const ResultRow& before = m_rows.back();
        if (kept.title == before.title)
            kept.title = before.title;
        if (kept.path == before.path)
            kept.path = before.path;
    }
    m_rows.push_back(std::move(kept));
}

void ResultsModel::flush()
{
    const int total = static_cast<int>(std::min<std::size_t>(m_rows.size(), INT_MAX));
    if (total == m_shown)
        return;
    beginInsertRows({}, m_shown, total - 1);
    m_shown = total;
    endInsertRows();
}

QString ResultsModel::cellText(qsizetype row, int column) const
{
    if (row < 0 || row >= resultCount() || column < 0 || column >= kColumns)
        return {};
    const ResultRow& result = m_rows[static_cast<std::size_t>(row)];
    switch (column) {
    case 0:
        return result.title;
    case 1:
        return result.name;
    case 2:
        return result.path;
    default:
        return resultCells(result).at(column);
    }
}

int ResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_shown;
}

int ResultsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    // Sizes line up on their last digit, as in a file manager.
    if (role == Qt::TextAlignmentRole && index.column() == kSizeColumn)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    // Bytes of a name that are not UTF-8 are shown as replacement characters.
    return system::displayedText(cellText(index.row(), index.column()));
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return captions().at(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

QStringList ResultsModel::captions()
{
    QStringList captions;
    for (const GridColumn& column : parseGridFormat(resultsGridFormat()))
        captions.append(column.caption);
    return captions;
}

QList<int> ResultsModel::widthsInCharacters()
{
    QList<int> widths;
    for (const GridColumn& column : parseGridFormat(resultsGridFormat()))
        widths.append(column.shownCharacters);
    return widths;
}

} // namespace platterly::search
