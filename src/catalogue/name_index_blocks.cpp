// Cutting rows into blocks of the name index, with the grams of each block.
#include "catalogue/name_index_blocks.h"

#include "catalogue/name_index.h"

#include <algorithm>

namespace platterly::catalogue {

namespace {

// Blocks are sized to fill the local part of a b-tree cell and whole overflow pages, so that
// no page is left mostly empty; this is about where they end up for the usual page sizes.
constexpr int kBlockTargetBytes = 4000;
constexpr int kBlockRowOverhead = 48; // record header, numbers and rowid runs, about

} // namespace

int nameBlockBudget(const sql::Database& db)
{
    sql::SqlError ignored;
    int pageSize = 4096;
    if (auto pragma = db.prepare(QStringLiteral("PRAGMA page_size"), &ignored);
        pragma && pragma->step() == sql::Statement::Step::Row)
        pageSize = static_cast<int>(pragma->integer(0));
    // The payload limits of a table b-tree leaf cell, as SQLite's file format defines them.
    const int minLocal = (pageSize - 12) * 32 / 255 - 23;
    const int maxLocal = pageSize - 35;
    const int overflowPages = (kBlockTargetBytes - minLocal) / (pageSize - 4);
    if (overflowPages <= 0)
        return std::min(maxLocal, kBlockTargetBytes);
    return minLocal + overflowPages * (pageSize - 4);
}

NameBlockBuilder::NameBlockBuilder(int budget, QByteArray title, bool titleIsNull)
    : m_budget(std::max(1, budget - kBlockRowOverhead - int(title.size())))
{
    m_block.title = std::move(title);
    m_block.titleIsNull = titleIsNull;
    m_block.names.reserve(std::size_t(m_budget));
}

bool NameBlockBuilder::add(const char* utf8, qsizetype length, std::uint8_t type, qint64 rowid,
                           std::vector<NameBlock>& finished)
{
    const std::size_t before = m_block.names.size();
    if (!appendFoldedName(utf8, length, m_block.names)) {
        m_block.names.resize(before);
        return false;
    }
    // A block that would grow past its budget is sealed without the new name, which then
    // opens the next block.
    if (!m_block.rowids.empty() &&
        m_block.names.size() + m_block.types.size() + 2 > std::size_t(m_budget)) {
        std::string name = m_block.names.substr(before);
        m_block.names.resize(before);
        seal(finished);
        m_block.names.append(name);
    }
    m_block.names.push_back('\0');
    m_block.types.push_back(static_cast<char>(type));
    m_block.rowids.push_back(rowid);
    return true;
}

void NameBlockBuilder::finish(std::vector<NameBlock>& finished)
{
    if (!m_block.rowids.empty())
        seal(finished);
}

void NameBlockBuilder::seal(std::vector<NameBlock>& finished)
{
    NameBlock next;
    next.title = m_block.title;
    next.titleIsNull = m_block.titleIsNull;
    next.names.reserve(std::size_t(m_budget));
    finished.push_back(std::move(m_block));
    m_block = std::move(next);
}

} // namespace platterly::catalogue
