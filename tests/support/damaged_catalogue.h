#pragma once

#include "platform/sql/sqlite_db.h"

#include <QFile>
#include <gtest/gtest.h>

namespace platterly::test {

// Damages a catalogue file the way a stray write does: pages that a dropped table freed are
// taken off SQLite's list of free pages, so that no table and no free list owns them ("Page
// N is never used" to the integrity check). Reading still works, and so would writing: SQLite
// itself would not notice. The including test links the sql library.
inline void orphanFreePages(const QString& path)
{
    {
        sql::SqlError error;
        const auto db = sql::Database::open(path, &error);
        ASSERT_TRUE(db) << error.message.toStdString();
        ASSERT_FALSE(db->exec(QStringLiteral("CREATE TABLE SCRAP (X); INSERT INTO SCRAP VALUES "
                                             "(zeroblob(20000)); DROP TABLE SCRAP;")));
        ASSERT_TRUE(db->integrityProblem().isEmpty());
    }
    // The header's first free-list page (offset 32) and number of free pages (offset 36).
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(32));
    ASSERT_EQ(file.write(QByteArray(8, '\0')), 8);
}

} // namespace platterly::test
