#include "catalogue/catalogue_file.h"
#include "catalogue/catalogue_reader.h"
#include "catalogue/name_index.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platterly;

TEST(CatalogueFile, EmptyCatalogueHoldsTheThreeTablesAndZeroTotals)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.db2"));
    ASSERT_FALSE(catalogue::createEmptyCatalogue(path));

    sql::DataControl data;
    data.setDatabaseName(path);
    catalogue::Totals totals{7, 7, 7};
    ASSERT_FALSE(catalogue::readTotals(data, &totals));
    EXPECT_EQ(totals.discs, 0);
    EXPECT_EQ(totals.dirs, 0);
    EXPECT_EQ(totals.files, 0);

    data.setRecordSource(QStringLiteral("SELECT * FROM CDS"));
    ASSERT_FALSE(data.refresh());
    EXPECT_EQ(data.recordset()->absolutePosition(), -1);
    EXPECT_EQ(data.recordset()->fieldNames(),
              QStringList({QStringLiteral("CDNAME"), QStringLiteral("FNAME"),
                           QStringLiteral("PATH"), QStringLiteral("LEVEL"), QStringLiteral("TYPE"),
                           QStringLiteral("SIZE"), QStringLiteral("MODIFIED")}));
    data.setRecordSource(QStringLiteral("SELECT * FROM TOTAL"));
    ASSERT_FALSE(data.refresh());
    EXPECT_EQ(data.recordset()->fieldNames(),
              QStringList({QStringLiteral("CDNAME"), QStringLiteral("DATE"), QStringLiteral("DIRS"),
                           QStringLiteral("FILES")}));

    // The empty name index comes with the tables, current, so that the first disc
    // catalogued only adds its own blocks.
    catalogue::NameIndexState state;
    EXPECT_EQ(catalogue::readNameIndexState(*data.database(), &state),
              catalogue::NameIndexStatus::Current);
    EXPECT_TRUE(state.complete);
    EXPECT_EQ(state.nextBlock, 0);
}

TEST(CatalogueFile, NeverOverwritesAnExistingFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("precious.db2"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("my data");
    file.close();
    const sql::SqlError error = catalogue::createEmptyCatalogue(path);
    EXPECT_TRUE(error);
    EXPECT_TRUE(error.message.contains(QStringLiteral("already exists")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("my data"));

    EXPECT_TRUE(
        catalogue::createEmptyCatalogue(dir.filePath(QStringLiteral("no/such/folder.db2"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("no"))));
}
