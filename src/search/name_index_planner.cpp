#include "search/name_index_planner.h"

#include "platform/sql/casefold.h"
#include "search/index_answer.h"
#include "search/name_query.h"

namespace platterly::search {

namespace {

// Up to this many blocks, looking each up costs less than reading the whole directory.
constexpr std::size_t kFewBlocks = 400;

} // namespace

std::shared_ptr<const sql::RowidAnswer> NameIndexPlanner::answer(const sql::Database& db,
                                                                 const sql::JetSelect& select)
{
    std::optional<NameQuery> query = recogniseNameQuery(select);
    if (!query)
        return nullptr;
    // Inside a transaction CDS may hold changes the index has not been told of yet.
    if (db.inTransaction())
        return nullptr;
    catalogue::NameIndexState state;
    if (catalogue::readNameIndexState(db, &state) != catalogue::NameIndexStatus::Current)
        return nullptr;
    // A literal holding a NUL could match across two names; such patterns try every name.
    if (query->literal.contains('\0')) {
        query->literal.clear();
        query->literalOnly = false;
    }
    IndexReader reader(db);
    const std::optional<CandidateBlocks> candidates =
        query->literal.isEmpty() ? std::nullopt : reader.candidates(query->literal);
    std::shared_ptr<const IndexDirectory> directory;
    if (candidates) {
        // A rare text reads a few blocks: their own entries of the directory are enough.
        const std::vector<qint64> blocks = candidates->blocks();
        if (blocks.size() <= kFewBlocks) {
            auto part = reader.directoryOf(blocks, state.stamp);
            if (!part)
                return nullptr;
            directory = std::make_shared<const IndexDirectory>(std::move(*part));
        }
    }
    if (!directory) {
        if (!m_directory || m_db != &db || m_path != db.path() ||
            m_directory->stamp != state.stamp || m_nextBlock != state.nextBlock) {
            auto whole = reader.directory(state.stamp);
            if (!whole)
                return nullptr;
            m_directory = std::make_shared<const IndexDirectory>(std::move(*whole));
            m_db = &db;
            m_path = db.path();
            m_nextBlock = state.nextBlock;
        }
        directory = m_directory;
    }
    return std::make_shared<IndexAnswer>(db, std::move(*query), directory, candidates);
}

std::optional<sql::StatementPlanner::RowRange> NameIndexPlanner::rowRange(const sql::Database& db,
                                                                          const QString& table,
                                                                          const QString& column,
                                                                          const QString& value)
{
    if (!sql::equalsFolded(table, u"CDS") || !sql::equalsFolded(column, u"CDNAME"))
        return std::nullopt;
    const std::shared_ptr<const std::vector<catalogue::DiscRowRange>> ranges = discRanges(db);
    if (!ranges)
        return std::nullopt;
    RowRange range;
    for (const catalogue::DiscRowRange& disc : *ranges) {
        if (!sql::equalsFolded(disc.title, value))
            continue;
        range.first = range.values.isEmpty() ? disc.first : std::min(range.first, disc.first);
        range.last = range.values.isEmpty() ? disc.last : std::max(range.last, disc.last);
        range.values.append(disc.title);
    }
    return range;
}

std::shared_ptr<const std::vector<catalogue::DiscRowRange>>
NameIndexPlanner::discRanges(const sql::Database& db)
{
    // Inside a transaction the ranges are read afresh: the transaction may be changing them.
    if (db.inTransaction()) {
        auto ranges = catalogue::discRowRanges(db);
        return ranges ? std::make_shared<const std::vector<catalogue::DiscRowRange>>(
                            std::move(*ranges))
                      : nullptr;
    }
    // Otherwise they stay as they are while the index keeps its stamp: any change to the
    // file, this program's or another's, gives it a new one or makes it stale.
    catalogue::NameIndexState state;
    if (catalogue::readNameIndexState(db, &state) != catalogue::NameIndexStatus::Current)
        return nullptr;
    if (m_ranges && m_rangesDb == &db && m_rangesPath == db.path() &&
        m_rangesStamp == state.stamp && m_rangesNextBlock == state.nextBlock)
        return m_ranges;
    auto ranges = catalogue::discRowRanges(db);
    if (!ranges)
        return nullptr;
    m_ranges = std::make_shared<const std::vector<catalogue::DiscRowRange>>(std::move(*ranges));
    m_rangesDb = &db;
    m_rangesPath = db.path();
    m_rangesStamp = state.stamp;
    m_rangesNextBlock = state.nextBlock;
    return m_ranges;
}

bool NameIndexPlanner::readsMissingFieldAsNull(const QString& table, const QString& field)
{
    return sql::equalsFolded(table, u"CDS") &&
           (sql::equalsFolded(field, u"SIZE") || sql::equalsFolded(field, u"MODIFIED"));
}

void useNameIndex(sql::DataControl& data)
{
    data.setPlanner(std::make_shared<NameIndexPlanner>());
}

void useCatalogue(sql::DataControl& data, const QString& path)
{
    data.setDatabaseName(path);
    useNameIndex(data);
}

sql::SqlError prepareNameIndex(const sql::Database& db,
                               const catalogue::NameIndexProgress& progress)
{
    if (db.isReadOnly() || db.inTransaction() || !db.tableExists(QStringLiteral("CDS")))
        return {};
    const auto needsBuilding = [&db] {
        const catalogue::NameIndexStatus status = catalogue::nameIndexStatus(db);
        return status == catalogue::NameIndexStatus::Missing ||
               status == catalogue::NameIndexStatus::Stale;
    };
    if (!needsBuilding())
        return {};
    sql::Transaction transaction(db);
    if (transaction.beginError())
        return transaction.beginError();
    // Another program may have built it while this one waited for the file.
    if (!needsBuilding())
        return {};
    if (sql::SqlError error = catalogue::buildNameIndex(db, progress))
        return error;
    return transaction.commit();
}

} // namespace platterly::search
