#include "catalogue/catalogue_file.h"
#include "catalogue/catalogue_reader.h"
#include "catalogue/name_index.h"
#include "platform/system/system_test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace platterly;

TEST(CatalogueFile, EmptyCatalogueHoldsTheThreeTablesAndZeroTotals)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"db.db2"_s);
    ASSERT_FALSE(catalogue::createEmptyCatalogue(path));

    sql::DataControl data;
    data.setDatabaseName(path);
    catalogue::Totals totals{7, 7, 7};
    ASSERT_FALSE(catalogue::readTotals(data, &totals));
    EXPECT_EQ(totals.discs + totals.dirs + totals.files, 0);

    data.setRecordSource(u"SELECT * FROM CDS"_s);
    ASSERT_FALSE(data.refresh());
    EXPECT_EQ(data.recordset()->absolutePosition(), -1);
    EXPECT_EQ(data.recordset()->fieldNames(),
              QStringList({u"CDNAME"_s, u"FNAME"_s, u"PATH"_s, u"LEVEL"_s, u"TYPE"_s, u"SIZE"_s,
                           u"MODIFIED"_s}));
    data.setRecordSource(u"SELECT * FROM TOTAL"_s);
    ASSERT_FALSE(data.refresh());
    EXPECT_EQ(data.recordset()->fieldNames(),
              QStringList({u"CDNAME"_s, u"DATE"_s, u"DIRS"_s, u"FILES"_s}));

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
    const QString path = dir.filePath(u"precious.db2"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("my data") == 7);
    file.close();
    EXPECT_TRUE(catalogue::createEmptyCatalogue(path).message.contains(u"already exists"_s));
    EXPECT_EQ(test::readBytes(path), QByteArray("my data"));

    EXPECT_TRUE(catalogue::createEmptyCatalogue(dir.filePath(u"no/such/folder.db2"_s)));
    EXPECT_FALSE(QFile::exists(dir.filePath(u"no"_s)));
}
