#pragma once

#include "search/search_run.h"

#include <QAbstractTableModel>
#include <vector>

namespace platterly::search {

// The results grid's rows: disc title, name, path, size and time of change, one row per
// result, filled while the search runs. Rows are plain values, not one widget item per cell, so a
// million results fit in a modest amount of memory; equal titles and paths of neighbouring rows
// share one string.
class ResultsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ResultsModel(QObject* parent = nullptr);

    void clear();
    // Rows are collected and shown in batches: add() keeps a row, flush() shows those kept.
    void add(const ResultRow& row);
    void flush();

    qsizetype resultCount() const { return static_cast<qsizetype>(m_rows.size()); }
    const ResultRow& result(qsizetype row) const { return m_rows[static_cast<std::size_t>(row)]; }
    // The text of a cell as stored; column 0 title, 1 name, 2 path, 3 size as a file manager
    // shows it, 4 time of change (local time); empty where unknown. The grid shows it with
    // bytes that are not UTF-8 as replacement characters (system::displayedText).
    QString cellText(qsizetype row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The header captions and the widths in characters their padding gives the columns.
    static QStringList captions();
    static QList<int> widthsInCharacters();

private:
    std::vector<ResultRow> m_rows;
    int m_shown = 0;
};

} // namespace platterly::search
