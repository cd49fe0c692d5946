// The drive box, and opening and copying found files of a folder catalogued by its drive path.
#include "main_window_fixture.h"
#include "platform/drives/disc_places.h"
#include "platform/drives/typed_path.h"
#include "platform/system/native_name.h"
#include "platform/system/profile_file.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

using namespace platterly;

namespace {

// A machine with the root file system, an empty optical drive and a USB stick.
class Form1DrivesTest : public app::test::MainWindowTest
{
protected:
    Form1DrivesTest()
    {
        m_source.setMountInfo("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n2 1 8:17 / " +
                              QFile::encodeName(m_stick.root()) + " rw - vfat /dev/sdb1 rw\n");
        m_source.addOpticalDevice(u"/dev/sr0"_s, u"11:0"_s);
        m_source.setLabel(u"/dev/sdb1"_s, u"STICK"_s);
        m_form.setDriveSource([this] { return drives::DriveMap(m_source); });
    }

    ~Form1DrivesTest() override
    {
        for (const QByteArray& path : m_raw)
            ::unlink(path.constData());
    }

    QString driveLetterSetting()
    {
        return system::ReadINI(appFile("settings.ini"), u"Settings"_s, u"DriveLetter"_s,
                               u"(none)"_s);
    }

    // Catalogues a folder given as the user typed it, recording its volume, as Form2 does.
    void catalogue(const QString& title, const QString& typed)
    {
        const drives::DriveMap drives(m_source);
        const drives::TypedPath where = drives::resolveTypedPath(drives, typed, QDir::rootPath());
        ASSERT_TRUE(where.ok()) << where.error.toStdString();
        sql::DataControl data;
        data.setDatabaseName(appFile("db.db2"));
        const cataloguing::CataloguingRequest request{
            title,
            where.nativePath,
            where.drivePath,
            {},
            drives::describeVolume(drives, where.nativePath, where.drivePath)};
        ASSERT_EQ(cataloguing::runCataloguing(data, request).outcome,
                  cataloguing::RunOutcome::Finished);
    }

    // A file whose name is raw bytes; Qt cannot name it, so it is removed here.
    QByteArray addRawFile(const QString& folder, const QByteArray& name)
    {
        const QByteArray path = QFile::encodeName(folder) + '/' + name;
        ::close(::open(path.constData(), O_WRONLY | O_CREAT, 0644));
        m_raw.append(path);
        return path;
    }

    // Makes the row of `name` current and chooses a command of its menu.
    void choose(const QString& name, const char* command)
    {
        chooseFound(m_form, system::displayedText(name), command);
    }

    test::TempTree m_stick;
    drives::FixedVolumeSource m_source;
    QList<QByteArray> m_raw;
    app::Form1 m_form{state, windows};
};

} // namespace

TEST_F(Form1DrivesTest, TheDriveBoxShowsTheDrivesAndOnlyAChoiceFromItsListIsStored)
{
    m_form.showLoaded();
    QApplication::setActiveWindow(&m_form);
    app::DriveLetterBox* box = control<app::DriveLetterBox>(m_form, "cmbDrive");
    ASSERT_EQ(box->count(), 24); // C: to Z:
    EXPECT_EQ(box->itemText(0), u"C:  /"_s);
    EXPECT_EQ(box->itemText(1), u"D:  (no disc)"_s);
    EXPECT_EQ(box->itemText(2), u"E:  "_s + m_stick.root());
    EXPECT_EQ(box->itemText(3), u"F:"_s);
    // Nothing stored yet: the first optical drive.
    EXPECT_EQ(box->currentText(), u"D:  (no disc)"_s);

    // Typed, then Enter, then leaving the box: used, but not stored.
    box->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClicks(box, u"f:"_s);
    QTest::keyClick(box, Qt::Key_Return);
    control<QComboBox>(m_form, "cmbStrs")->setFocus();
    EXPECT_EQ(box->letter(), u'F');
    EXPECT_EQ(driveLetterSetting(), u"(none)"_s);

    // Chosen from the list: the letter alone is stored, and shown at the next start.
    box->showPopup();
    box->view()->setCurrentIndex(box->model()->index(2, 0));
    QTest::keyClick(box->view(), Qt::Key_Return);
    EXPECT_EQ(driveLetterSetting(), u"E"_s);
    m_form.unload();
    m_form.Load();
    EXPECT_EQ(box->currentText(), u"E:  "_s + m_stick.root());
}

TEST_F(Form1DrivesTest, FilesOfAFolderAddedInCapitalsOpenAndCopyButAFolderRowIsNotCopied)
{
    test::TempTree tree;
    tree.addFolder(u"Share/Doc/Sub"_s);
    const QByteArray raw = addRawFile(tree.path(u"Share/Doc"_s), "caf\xe9.txt");
    catalogue(u"Docs"_s, u"C:"_s + tree.path(u"Share"_s).toUpper().replace(u'/', u'\\'));
    const QString desktop = useOwnDesktop();
    m_form.Load(); // the box shows the empty optical drive
    searchFor(m_form, u"*"_s);

    const QString rawName = system::textFromNativeBytes("caf\xe9.txt");
    choose(rawName, "mnuFile");
    EXPECT_EQ(shell.openedPaths(), QStringList{system::textFromNativeBytes(raw)});
    choose(rawName, "mnucopydesk");
    const QByteArray copy = QFile::encodeName(desktop) + "/caf\xe9.txt";
    m_raw.append(copy);
    struct stat info;
    EXPECT_EQ(::stat(copy.constData(), &info), 0);
    EXPECT_TRUE(dialogs.shown().empty()) << dialogs.shownTexts().join(u'\n').toStdString();

    // A folder row: one clear message, no offer to retry, and no folder picker.
    int pickerShown = 0;
    windows.pickCopyFolder = [&](auto&&) { ++pickerShown; };
    choose(u"Sub"_s, "mnucopy");
    choose(u"Sub"_s, "mnucopydesk");
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_TRUE(dialogs.shown()[0].text.startsWith(u"'Sub' is a folder."_s));
    EXPECT_EQ(dialogs.shown()[1].buttons, ui::Buttons::Ok);
    EXPECT_EQ(pickerShown, 0);
}
