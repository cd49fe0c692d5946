// Disc images and archives catalogued as the folders they were made from.
#include "catalogue/catalogue_file.h"
#include "cataloguing/disc_image.h"
#include "cataloguing/disc_update.h"
#include "cataloguing/fake_lister.h"
#include "support/disc_images.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace platterly;
using cataloguing::WalkOutcome;

namespace {

constexpr qint64 kTreeTime = 1'650'000'000; // even: 2022-04-15 05:20:00 UTC

class ImageWalkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::addDiscContents(tree, QStringLiteral("disc"));
        // Zip files keep times to two seconds in their own fields (and to the second in the
        // extra field Info-ZIP adds): even seconds are held exactly by every format here.
        tree.setAllModified(kTreeTime);
        if (const QString error = test::makeIso(tree.path(QStringLiteral("disc")), iso(),
                                                QStringLiteral("MY PHOTOS"));
            !error.isEmpty())
            GTEST_SKIP() << error.toStdString();
    }

    QString iso() const { return tree.path(QStringLiteral("disc.iso")); }
    QString file(const char* name) const { return tree.path(QLatin1String(name)); }

    static QString number(std::optional<qint64> value)
    {
        return value ? QString::number(*value) : QStringLiteral("-");
    }

    // The rows of a walk as text, every path beginning with the same drive root, with their
    // sizes and times.
    static QStringList rowsOf(const QString& root, bool image)
    {
        test::RecordingSink sink;
        const cataloguing::WalkRequest request{root, QStringLiteral("D:\\"), {}, nullptr};
        const cataloguing::WalkResult result =
            image ? cataloguing::ScanImage(request, sink) : cataloguing::ScanFolder(request, sink);
        EXPECT_EQ(result.outcome, WalkOutcome::Completed) << result.error.toStdString();
        QStringList rows;
        for (const cataloguing::WalkRow& row : sink.rows)
            rows.append(QStringLiteral("%1|%2|%3|%4|%5|%6")
                            .arg(row.name, row.path, QString::number(row.level),
                                 QString::number(row.type), number(row.size),
                                 number(row.modified)));
        return rows;
    }

    // A disc's entries in the catalogue as text, paths below the disc's root `driveRoot`.
    QStringList storedRows(const QString& title, const QString& driveRoot) const
    {
        auto db = sql::Database::open(catalogue, nullptr);
        auto rows = db->prepare(QStringLiteral("SELECT FNAME, PATH, LEVEL, TYPE, SIZE, MODIFIED "
                                               "FROM CDS WHERE CDNAME = ?1 AND LEVEL > 1 "
                                               "ORDER BY rowid"),
                                nullptr);
        rows->bindText(1, title);
        QStringList lines;
        while (rows->step() == sql::Statement::Step::Row) {
            QStringList cells;
            for (int i = 0; i < 6; ++i)
                cells.append(rows->isNull(i) ? QStringLiteral("-") : rows->text(i));
            cells[1].remove(0, driveRoot.size());
            lines.append(cells.join(u'|'));
        }
        return lines;
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
    EXPECT_EQ(folderRows.filter(QStringLiteral("|%1").arg(kTreeTime)).size(), 16);
    EXPECT_EQ(folderRows.filter(QStringLiteral("a.mp3|D:\\Music\\|")).value(0).section(u'|', 4),
              QStringLiteral("3|%1").arg(kTreeTime));
    EXPECT_FALSE(folderRows.join(u'\n').contains(QStringLiteral("hidden")));
    EXPECT_EQ(rowsOf(iso(), true), folderRows);

    ASSERT_EQ(test::makeZip(tree.path(QStringLiteral("disc")), file("disc.zip")), QString());
    EXPECT_EQ(rowsOf(file("disc.zip"), true), folderRows);

    // Without entries of their own, folders are known by the files in them, and have no time;
    // an empty folder is then not in the archive at all.
    ASSERT_EQ(
        test::makeZip(tree.path(QStringLiteral("disc")), file("bare.zip"), {QStringLiteral("-D")}),
        QString());
    QStringList withoutEmpty = folderRows;
    withoutEmpty.removeIf([](const QString& row) { return row.startsWith(u"Empty Folder|"); });
    // (Folders are the rows without a size.)
    withoutEmpty.replaceInStrings(QStringLiteral("|-|%1").arg(kTreeTime), QStringLiteral("|-|-"));
    EXPECT_EQ(rowsOf(file("bare.zip"), true).join(u'\n'), withoutEmpty.join(u'\n'));

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
    EXPECT_EQ(cataloguing::proposedImageTitle(image), u"MY PHOTOS");
    EXPECT_EQ(
        cataloguing::proposedImageTitle({QStringLiteral("/a/old.photos.tar.gz"), {}, {}, {}, {}}),
        u"old.photos");

    tree.addFile(QStringLiteral("noise.bin"), QByteArray(100000, '\x5a'));
    const cataloguing::DiscImage noise =
        cataloguing::identifyImage(file("noise.bin"), QStringLiteral("C:\\noise.bin"));
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

TEST_F(ImageWalkTest, AnImageIsCataloguedAndUpdatedFromItsFileWithTheFoldersSizesAndTimes)
{
    ASSERT_FALSE(catalogue::createEmptyCatalogue(catalogue));
    const QString disc = tree.path(QStringLiteral("disc"));
    auto catalogueFolder = [&](const QString& title) {
        sql::DataControl data;
        data.setDatabaseName(catalogue);
        return cataloguing::runCataloguing(data, {title, disc, QStringLiteral("D:\\"), {}});
    };
    ASSERT_EQ(catalogueFolder(QStringLiteral("Folder")).outcome, cataloguing::RunOutcome::Finished);
    ASSERT_EQ(catalogueImage(iso(), QStringLiteral("Image")).outcome,
              cataloguing::RunOutcome::Finished);
    const QString imageRoot = iso() + u'\\';
    const QStringList folderRows = storedRows(QStringLiteral("Folder"), QStringLiteral("D:\\"));
    ASSERT_EQ(folderRows.size(), 16);
    EXPECT_EQ(storedRows(QStringLiteral("Image"), imageRoot), folderRows);

    // The image made again from a changed tree: the disc is read again from its image file,
    // found where it was catalogued.
    tree.addFile(QStringLiteral("disc/Music/new.mp3"), "new");
    tree.setModified(QStringLiteral("disc/Music/new.mp3"), kTreeTime + 2);
    tree.setModified(QStringLiteral("disc/Music"), kTreeTime);
    ASSERT_TRUE(QFile::remove(iso()));
    ASSERT_EQ(test::makeIso(disc, iso(), QStringLiteral("MY PHOTOS")), QString());
    sql::DataControl data;
    data.setDatabaseName(catalogue);
    const cataloguing::UpdateResult updated =
        cataloguing::runUpdate(data, {QStringLiteral("Image"), {}, {}, {}, {}, {}});
    data.close();
    ASSERT_TRUE(updated.ok()) << updated.message.toStdString();
    EXPECT_EQ(updated.added, 1);
    ASSERT_EQ(catalogueFolder(QStringLiteral("Folder again")).outcome,
              cataloguing::RunOutcome::Finished);
    EXPECT_EQ(storedRows(QStringLiteral("Image"), imageRoot),
              storedRows(QStringLiteral("Folder again"), QStringLiteral("D:\\")));
}
