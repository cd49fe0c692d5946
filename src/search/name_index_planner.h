#pragma once

#include "catalogue/name_index.h"
#include "platform/sql/data_control.h"
#include "search/index_reader.h"

#include <memory>

namespace platterly::search {

// Answers name searches from the catalogue's name index when the index is current, so that a
// search reads a few blocks of names instead of every row of CDS. Every other statement, and
// every statement while the index is missing, stale or unusable, or while the connection is
// inside a transaction whose changes the index may not follow yet, runs on SQLite as usual.
class NameIndexPlanner : public sql::StatementPlanner
{
public:
    std::shared_ptr<const sql::RowidAnswer> answer(const sql::Database& db,
                                                   const sql::JetSelect& select) override;
    // The rows of one title (CDS.CDNAME) lie within the blocks the index holds for it.
    std::optional<RowRange> rowRange(const sql::Database& db, const QString& table,
                                     const QString& column, const QString& value) override;
    // SIZE and MODIFIED of CDS, missing from catalogues made before they were recorded.
    bool readsMissingFieldAsNull(const QString& table, const QString& field) override;

private:
    // Where each title's rows lie (see catalogue::discRowRanges), kept while the index is
    // unchanged; nullptr when the index cannot tell.
    std::shared_ptr<const std::vector<catalogue::DiscRowRange>> discRanges(const sql::Database& db);

    const sql::Database* m_rangesDb = nullptr;
    QString m_rangesPath;
    qint64 m_rangesStamp = -1;
    qint64 m_rangesNextBlock = -1;
    std::shared_ptr<const std::vector<catalogue::DiscRowRange>> m_ranges;

    // The directory of the last index read, kept while the index is unchanged.
    const sql::Database* m_db = nullptr;
    QString m_path;
    qint64 m_nextBlock = -1;
    std::shared_ptr<const IndexDirectory> m_directory;
};

// Makes the data control answer name searches from the name index, and read the rows of one
// title by the range of rowids the index knows for it.
void useNameIndex(sql::DataControl& data);

// Points `data` at the catalogue file `path` as the program opens every catalogue: name
// searches and one title's rows are answered through the name index (useNameIndex). The file
// is opened when first needed. It is read through SQLite's own page cache, not mapped into
// memory: bench/README.md has the figures.
void useCatalogue(sql::DataControl& data, const QString& path);

// When a catalogue is opened: builds the name index if it is missing or stale and the file
// can be written, in a transaction of its own, telling `progress` how far it is (returning
// false cancels, leaving the file as it was). A file that cannot be written, or whose index
// is current, is left alone; its searches scan CDS until the index is current.
sql::SqlError prepareNameIndex(const sql::Database& db,
                               const catalogue::NameIndexProgress& progress = {});

} // namespace platterly::search
