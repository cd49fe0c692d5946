#pragma once

#include "platform/sql/sqlite_db.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace platterly::catalogue {

// One block of the name index as it leaves the builder, before it has a number: the folded
// names, types and rowids of consecutive rows of one title.
struct NameBlock
{
    QByteArray title;
    bool titleIsNull = false;
    std::string names; // each folded name followed by a NUL byte
    std::string types; // one byte per name
    std::vector<qint64> rowids;
};

// The most bytes of names and types a block holds, for the file's page size.
int nameBlockBudget(const sql::Database& db);

// Cuts the rows of one title into blocks. It touches no database, so the rows can be cut on
// the thread that lists them while another thread writes.
class NameBlockBuilder
{
public:
    NameBlockBuilder(int budget, QByteArray title, bool titleIsNull = false);

    // Adds a row whose name is `utf8`; a block that is full goes to `finished` first. False
    // when the name is not well-formed UTF-8 or holds a NUL, which the index cannot hold.
    bool add(const char* utf8, qsizetype length, std::uint8_t type, qint64 rowid,
             std::vector<NameBlock>& finished);
    // The last block, when it holds rows.
    void finish(std::vector<NameBlock>& finished);

    const QByteArray& title() const { return m_block.title; }
    bool titleIsNull() const { return m_block.titleIsNull; }

private:
    void seal(std::vector<NameBlock>& finished);

    const int m_budget;
    NameBlock m_block;
};

} // namespace platterly::catalogue
