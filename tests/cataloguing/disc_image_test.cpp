// Disc images and archives catalogued as the folders they were made from.
#include "catalogue/catalogue_file.h"
#include "cataloguing/disc_image.h"
#include "cataloguing/fake_lister.h"
#include "support/disc_images.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace platterly;
using cataloguing::WalkOutcome;

namespace {

class ImageWalkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::addDiscContents(tree, QStringLiteral("disc"));
        if (const QString error = test::makeIso(tree.path(QStringLiteral("disc")), iso(),
                                                QStringLiteral("MY PHOTOS"));
            !error.isEmpty())
            GTEST_SKIP() << error.toStdString();
    }

    QString iso() const { return tree.path(QStringLiteral("disc.iso")); }
    QString file(const char* name) const { return tree.path(QLatin1String(name)); }

    // The rows of a walk as text, every path beginning with the same drive root.
    static QStringList rowsOf(const QString& root, bool image, WalkOutcome expected = {})
    {
        test::RecordingSink sink;
        const cataloguing::WalkRequest request{root, QStringLiteral("D:\\"), {}, nullptr};
        const cataloguing::WalkResult result =
            image ? cataloguing::ScanImage(request, sink) : cataloguing::ScanFolder(request, sink);
        EXPECT_EQ(result.outcome, expected) << result.error.toStdString();
        QStringList rows;
        for (const cataloguing::WalkRow& row : sink.rows)
            rows.append(
                QStringLiteral("%1|%2|%3|%4").arg(row.name, row.path).arg(row.level).arg(row.type));
        return rows;
    }

    // The whole catalogue file, byte for byte.
    QByteArray catalogueBytes() const
    {
        QFile file(catalogue);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    cataloguing::RunResult catalogueImage(const QString& image, const QString& title)
    {
        sql::DataControl data;
        data.setDatabaseName(catalogue);
        return cataloguing::runCataloguing(
            data, cataloguing::imageRequest(title, cataloguing::identifyImage(image, image)));
    }

    test::TempTree tree;
    QString catalogue = tree.path(QStringLiteral("db.db2"));
};

} // namespace

TEST_F(ImageWalkTest, IsoAndZipGiveTheRowsOfTheFolderTheyWereMadeFrom)
{
    const QStringList folderRows = rowsOf(tree.path(QStringLiteral("disc")), false);
    ASSERT_EQ(folderRows.size(), 16);
    EXPECT_FALSE(folderRows.join(u'\n').contains(QStringLiteral("hidden")));
    EXPECT_EQ(rowsOf(iso(), true), folderRows);

    ASSERT_EQ(test::makeZip(tree.path(QStringLiteral("disc")), file("disc.zip")), QString());
    EXPECT_EQ(rowsOf(file("disc.zip"), true), folderRows);

    // Without entries of their own, folders are known by the files in them; an empty folder
    // is then not in the archive at all.
    ASSERT_EQ(
        test::makeZip(tree.path(QStringLiteral("disc")), file("bare.zip"), {QStringLiteral("-D")}),
        QString());
    QStringList withoutEmpty = folderRows;
    withoutEmpty.removeIf([](const QString& row) { return row.startsWith(u"Empty Folder|"); });
    EXPECT_EQ(rowsOf(file("bare.zip"), true), withoutEmpty);

    // An encrypted archive that lists its names in the clear is catalogued by them.
    ASSERT_EQ(test::makeZip(tree.path(QStringLiteral("disc")), file("locked.zip"),
                            {QStringLiteral("-P"), QStringLiteral("secret")}),
              QString());
    EXPECT_EQ(rowsOf(file("locked.zip"), true), folderRows);
}

TEST_F(ImageWalkTest, ImagesAreIdentifiedWithTheirLabelOrTheirFileName)
{
    const cataloguing::DiscImage image = cataloguing::identifyImage(iso(), QStringLiteral("C:\\x"));
    ASSERT_TRUE(image.ok()) << image.error.toStdString();
    EXPECT_EQ(image.format, u"iso9660");
    EXPECT_EQ(image.driveRoot, u"C:\\x\\");
    EXPECT_EQ(cataloguing::proposedImageTitle(image), u"MY PHOTOS");
    EXPECT_EQ(
        cataloguing::proposedImageTitle({QStringLiteral("/a/old.photos.tar.gz"), {}, {}, {}, {}}),
        u"old.photos");

    tree.addFile(QStringLiteral("noise.bin"), QByteArray(100000, '\x5a'));
    const cataloguing::DiscImage noise =
        cataloguing::identifyImage(file("noise.bin"), QStringLiteral("C:\\noise.bin"));
    EXPECT_FALSE(noise.ok());
    EXPECT_TRUE(noise.error.startsWith(u'"' + file("noise.bin") + u'"'))
        << noise.error.toStdString();
}

TEST_F(ImageWalkTest, DamagedImagesAreRefusedAndTheCatalogueIsLeftByteForByte)
{
    ASSERT_FALSE(catalogue::createEmptyCatalogue(catalogue));
    ASSERT_EQ(catalogueImage(iso(), QStringLiteral("Good")).outcome,
              cataloguing::RunOutcome::Finished);
    const QByteArray before = catalogueBytes();

    QByteArray noise(200000, '\0');
    for (qsizetype i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 7919 + i / 13) & 0xff);
    tree.addFile(QStringLiteral("noise.iso"), noise);
    test::truncateCopy(iso(), file("cut.iso"), QFile(iso()).size() / 2);
    // A zip cut off among its entries reads well at first and fails half way.
    ASSERT_EQ(test::makeZip(tree.path(QStringLiteral("disc")), file("disc.zip")), QString());
    test::truncateCopy(file("disc.zip"), file("cut.zip"), 600);

    for (const char* name : {"noise.iso", "cut.iso", "cut.zip"}) {
        const cataloguing::RunResult result = catalogueImage(file(name), QStringLiteral("Bad"));
        EXPECT_EQ(result.outcome, cataloguing::RunOutcome::Failed) << name;
        EXPECT_TRUE(result.message.contains(file(name))) << result.message.toStdString();
        EXPECT_EQ(catalogueBytes(), before) << name;
    }
}
