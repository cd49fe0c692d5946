// Disc images and archives catalogued as the folders they were made from.
#include "catalogue/catalogue_file.h"
#include "cataloguing/disc_image.h"
#include "cataloguing/disc_update.h"
#include "cataloguing/fake_lister.h"
#include "support/disc_images.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace platterly;
using cataloguing::WalkOutcome;

namespace {

constexpr qint64 kTreeTime = 1'650'000'000; // even: 2022-04-15 05:20:00 UTC

class ImageWalkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::addDiscContents(tree, u"disc"_s);
        // Zip files keep times to two seconds in their own fields (and to the second in the
        // extra field Info-ZIP adds): even seconds are held exactly by every format here.
        tree.setAllModified(kTreeTime);
        if (const QString error = test::makeIso(tree.path(u"disc"_s), iso(), u"MY PHOTOS"_s);
            !error.isEmpty())
            GTEST_SKIP() << error.toStdString();
    }

    QString iso() const { return tree.path(u"disc.iso"_s); }
    QString file(const char* name) const { return tree.path(QLatin1String(name)); }

    static QString number(std::optional<qint64> value)
    {
        return value ? QString::number(*value) : u"-"_s;
    }

    // The rows of a walk as text, every path beginning with the same drive root, with their
    // sizes and times.
    static QStringList rowsOf(const QString& root, bool image)
    {
        test::RecordingSink sink;
        const cataloguing::WalkRequest request{root, u"D:\\"_s, {}, nullptr};
        const cataloguing::WalkResult result =
            image ? cataloguing::ScanImage(request, sink) : cataloguing::ScanFolder(request, sink);
        EXPECT_EQ(result.outcome, WalkOutcome::Completed) << result.error.toStdString();
        QStringList rows;
        for (const cataloguing::WalkRow& row : sink.rows)
            rows.append(u"%1|%2|%3|%4|%5|%6"_s.arg(row.name, row.path, QString::number(row.level),
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
                cells.append(rows->isNull(i) ? u"-"_s : rows->text(i));
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
    QString catalogue = tree.path(u"db.db2"_s);
};

} // namespace

TEST_F(ImageWalkTest, IsoAndZipGiveTheRowsOfTheFolderTheyWereMadeFrom)
{
    const QStringList folderRows = rowsOf(tree.path(u"disc"_s), false);
    ASSERT_EQ(folderRows.size(), 16);
    EXPECT_EQ(folderRows.filter(u"|%1"_s.arg(kTreeTime)).size(), 16);
    EXPECT_EQ(folderRows.filter(u"a.mp3|D:\\Music\\|"_s).value(0).section(u'|', 4),
              u"3|%1"_s.arg(kTreeTime));
    EXPECT_FALSE(folderRows.join(u'\n').contains(u"hidden"_s));
    EXPECT_EQ(rowsOf(iso(), true), folderRows);

    ASSERT_EQ(test::makeZip(tree.path(u"disc"_s), file("disc.zip")), QString());
    EXPECT_EQ(rowsOf(file("disc.zip"), true), folderRows);

    // Without entries of their own, folders are known by the files in them, and have no time;
    // an empty folder is then not in the archive at all.
    ASSERT_EQ(test::makeZip(tree.path(u"disc"_s), file("bare.zip"), {u"-D"_s}), QString());
    QStringList withoutEmpty = folderRows;
    withoutEmpty.removeIf([](const QString& row) { return row.startsWith(u"Empty Folder|"); });
    // (Folders are the rows without a size.)
    withoutEmpty.replaceInStrings(u"|-|%1"_s.arg(kTreeTime), u"|-|-"_s);
    EXPECT_EQ(rowsOf(file("bare.zip"), true).join(u'\n'), withoutEmpty.join(u'\n'));

    // An encrypted archive that lists its names in the clear is catalogued by them.
    ASSERT_EQ(test::makeZip(tree.path(u"disc"_s), file("locked.zip"), {u"-P"_s, u"secret"_s}),
              QString());
    EXPECT_EQ(rowsOf(file("locked.zip"), true), folderRows);
}

TEST_F(ImageWalkTest, ImagesAreIdentifiedWithTheirLabelOrTheirFileName)
{
    const cataloguing::DiscImage image = cataloguing::identifyImage(iso(), u"C:\\x"_s);
    ASSERT_TRUE(image.ok()) << image.error.toStdString();
    EXPECT_EQ(image.format, u"iso9660");
    EXPECT_EQ(cataloguing::proposedImageTitle(image), u"MY PHOTOS");
    EXPECT_EQ(cataloguing::proposedImageTitle({u"/a/old.photos.tar.gz"_s, {}, {}, {}, {}}),
              u"old.photos");

    tree.addFile(u"noise.bin"_s, QByteArray(100000, '\x5a'));
    const cataloguing::DiscImage noise =
        cataloguing::identifyImage(file("noise.bin"), u"C:\\noise.bin"_s);
    EXPECT_TRUE(noise.error.startsWith(u'"' + file("noise.bin") + u'"'))
        << noise.error.toStdString();
}

TEST_F(ImageWalkTest, DamagedImagesAreRefusedAndTheCatalogueIsLeftByteForByte)
{
    ASSERT_FALSE(catalogue::createEmptyCatalogue(catalogue));
    ASSERT_EQ(catalogueImage(iso(), u"Good"_s).outcome, cataloguing::RunOutcome::Finished);
    const QByteArray before = catalogueBytes();

    QByteArray noise(200000, '\0');
    for (qsizetype i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 7919 + i / 13) & 0xff);
    tree.addFile(u"noise.iso"_s, noise);
    test::truncateCopy(iso(), file("cut.iso"), QFile(iso()).size() / 2);
    // A zip cut off among its entries reads well at first and fails half way.
    ASSERT_EQ(test::makeZip(tree.path(u"disc"_s), file("disc.zip")), QString());
    test::truncateCopy(file("disc.zip"), file("cut.zip"), 600);

    for (const char* name : {"noise.iso", "cut.iso", "cut.zip"}) {
        const cataloguing::RunResult result = catalogueImage(file(name), u"Bad"_s);
        EXPECT_EQ(result.outcome, cataloguing::RunOutcome::Failed) << name;
        EXPECT_TRUE(result.message.contains(file(name))) << result.message.toStdString();
        EXPECT_EQ(catalogueBytes(), before) << name;
    }
}

TEST_F(ImageWalkTest, AnImageIsCataloguedAndUpdatedFromItsFileWithTheFoldersSizesAndTimes)
{
    ASSERT_FALSE(catalogue::createEmptyCatalogue(catalogue));
    const QString disc = tree.path(u"disc"_s);
    auto catalogueFolder = [&](const QString& title) {
        sql::DataControl data;
        data.setDatabaseName(catalogue);
        return cataloguing::runCataloguing(data, {title, disc, u"D:\\"_s, {}});
    };
    ASSERT_EQ(catalogueFolder(u"Folder"_s).outcome, cataloguing::RunOutcome::Finished);
    ASSERT_EQ(catalogueImage(iso(), u"Image"_s).outcome, cataloguing::RunOutcome::Finished);
    const QString imageRoot = iso() + u'\\';
    const QStringList folderRows = storedRows(u"Folder"_s, u"D:\\"_s);
    ASSERT_EQ(folderRows.size(), 16);
    EXPECT_EQ(storedRows(u"Image"_s, imageRoot), folderRows);

    // The image made again from a changed tree: the disc is read again from its image file,
    // found where it was catalogued.
    tree.addFile(u"disc/Music/new.mp3"_s, "new");
    tree.setModified(u"disc/Music/new.mp3"_s, kTreeTime + 2);
    tree.setModified(u"disc/Music"_s, kTreeTime);
    ASSERT_TRUE(QFile::remove(iso()));
    ASSERT_EQ(test::makeIso(disc, iso(), u"MY PHOTOS"_s), QString());
    sql::DataControl data;
    data.setDatabaseName(catalogue);
    const cataloguing::UpdateResult updated =
        cataloguing::runUpdate(data, {u"Image"_s, {}, {}, {}, {}, {}});
    data.close();
    ASSERT_TRUE(updated.ok()) << updated.message.toStdString();
    EXPECT_EQ(updated.added, 1);
    ASSERT_EQ(catalogueFolder(u"Folder again"_s).outcome, cataloguing::RunOutcome::Finished);
    EXPECT_EQ(storedRows(u"Image"_s, imageRoot), storedRows(u"Folder again"_s, u"D:\\"_s));
}
