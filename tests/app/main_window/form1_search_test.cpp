#include "catalogue/entry_details.h"
#include "main_window_fixture.h"
#include "platform/drives/system_volume_source.h"
#include "platform/drives/typed_path.h"
#include "platform/system/profile_file.h"

#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

using namespace Qt::StringLiterals;

using namespace platterly;

namespace {

// A main window over a real catalogue of a real folder on this machine.
class Form1SearchTest : public app::test::MainWindowTest
{
protected:
    Form1SearchTest()
    {
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QDir().mkpath(m_disc.path(u"Photos"_s));
        EXPECT_TRUE(picture.save(m_disc.path(u"Photos/beach.png"_s)));
        m_disc.addFile(u"Photos/notes.txt"_s, "notes");
        m_disc.addFile(u"Music/Bob's song.mp3"_s, "mp3");
        for (int i = 0; i < 150; ++i)
            m_disc.addFile(u"Many/track%1.wav"_s.arg(i, 3, 10, QLatin1Char('0')));
        // Catalogued under its true drive path, so that opening and copying reach real files.
        const drives::TypedPath where =
            drives::resolveTypedPath(drives::systemDriveMap(), m_disc.root(), QDir::currentPath());
        EXPECT_TRUE(where.ok()) << where.error.toStdString();
        m_discDrivePath = where.drivePath;
        catalogueFolder(u"Holiday"_s, where.nativePath, where.drivePath);
        m_form.Load();
    }

    void search(const QString& pattern, const QString& category = u"All Files"_s)
    {
        searchFor(m_form, pattern, category);
    }

    QString cell(int row, int column) { return grid(m_form)->index(row, column).data().toString(); }
    void command(const char* name) { control<QAction>(m_form, name)->trigger(); }

    test::TempTree m_disc;
    QString m_discDrivePath;
    app::Form1 m_form{state, windows};
};

} // namespace

TEST_F(Form1SearchTest, SearchFillsTheGridPreviewsImagesAndKeepsTheHistory)
{
    search(u"notes"_s);
    EXPECT_EQ(textOf(m_form, "lblMessage"), u"Only 1 File Found"_s);
    EXPECT_EQ(m_form.windowTitle(), u"Quenlo Platterly"_s);
    EXPECT_TRUE(control<QPushButton>(m_form, "cmdSearch")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(m_form, "cmdStop")->isEnabled());
    EXPECT_EQ(textOf(m_form, "LBLFILE"), u"NOTES.TXT"_s);
    EXPECT_FALSE(control<QLabel>(m_form, "imgPreview")->isVisibleTo(&m_form));
    EXPECT_EQ(grid(m_form)->headerData(1, Qt::Horizontal).toString(), u"FILE NAME"_qs);

    // Images are previewed from where they were catalogued.
    search(u"*"_s);
    chooseFound(m_form, u"beach.png"_s);
    EXPECT_EQ(textOf(m_form, "LBLFILE"), u"BEACH.PNG"_s);
    EXPECT_FALSE(control<QLabel>(m_form, "imgPreview")->pixmap().isNull());
    EXPECT_TRUE(control<QLabel>(m_form, "imgPreview")->isVisibleTo(&m_form));
    chooseFound(m_form, u"notes.txt"_s);
    EXPECT_FALSE(control<QLabel>(m_form, "imgPreview")->isVisibleTo(&m_form));

    search(u"nothing like this"_s);
    EXPECT_EQ(textOf(m_form, "lblMessage"), u"No Files Found"_s);
    search(u"track"_s, u"Music Files"_s);
    EXPECT_EQ(textOf(m_form, "lblMessage"), u"Files Found 150 (150)"_s);

    EXPECT_EQ(system::ReadINI(appFile("settings.ini"), u"Strings"_s, u"s1"_s, {}), u"track"_s);
    EXPECT_EQ(control<QComboBox>(m_form, "cmbStrs")->count(), 4);

    // "Folders Only" turns "*.*" into "*" in the box, and finds the folders.
    search(u"*.*"_s, u"Folders Only"_s);
    EXPECT_EQ(control<QComboBox>(m_form, "cmbStrs")->currentText(), u"*"_s);
    EXPECT_EQ(textOf(m_form, "lblMessage"), u"Files Found 3 (3)"_s);
}

TEST_F(Form1SearchTest, MoreLimitsTheSearchBySizeAndTimeAndIsClosedAtFirst)
{
    m_form.show();
    m_form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_form));
    auto* more = control<QPushButton>(m_form, "cmdMore");
    auto* larger = control<QLineEdit>(m_form, "txtLarger");
    auto* after = control<QLineEdit>(m_form, "txtAfter");
    EXPECT_FALSE(control(m_form, "fraMore")->isVisible());
    EXPECT_FALSE(more->isChecked());

    QTest::mouseClick(more, Qt::LeftButton);
    ASSERT_TRUE(control(m_form, "fraMore")->isVisible());
    EXPECT_TRUE(larger->hasFocus());
    control<QComboBox>(m_form, "cmbStrs")->setEditText(u"*"_s);
    QTest::keyClicks(larger, u"4"_s);
    QTest::keyClick(larger, Qt::Key_Return);
    EXPECT_EQ(foundNames(m_form), QStringList({u"beach.png"_s, u"notes.txt"_s}));
    // Size and time follow the three columns; sizes as a file manager writes them, on the right.
    const QAbstractItemModel& model = *grid(m_form);
    EXPECT_EQ(model.columnCount(), 5);
    EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), u"Size"_s);
    EXPECT_EQ(model.headerData(4, Qt::Horizontal).toString(), u"Modified"_s);
    EXPECT_EQ(cell(1, 3), catalogue::sizeForDisplay(5));
    EXPECT_EQ(model.data(model.index(1, 3), Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignRight | Qt::AlignVCenter);

    // A day that is none is said and not searched.
    dialogs.answer(ui::Answer::Ok);
    QTest::keyClicks(after, u"yesterday"_s);
    QTest::keyClick(after, Qt::Key_Return);
    EXPECT_EQ(dialogs.shownTexts(),
              QStringList{u"'yesterday' is not a day: give it as YYYY-MM-DD."_qs});
    EXPECT_EQ(foundNames(m_form).size(), 2);

    // Closed again, the limits no longer apply.
    QTest::mouseClick(more, Qt::LeftButton);
    EXPECT_FALSE(control(m_form, "fraMore")->isVisible());
    search(u"notes"_s);
    EXPECT_EQ(textOf(m_form, "lblMessage"), u"Only 1 File Found"_s);
}

TEST_F(Form1SearchTest, StopKeepsTheRowsFoundSoFar)
{
    // Stop is pressed as soon as the window gets to serve events, during the fill.
    QTimer::singleShot(0, &m_form, [this] { control<QPushButton>(m_form, "cmdStop")->click(); });
    search(u"track"_s);
    const int shown = grid(m_form)->rowCount();
    EXPECT_LT(shown, 150);
    EXPECT_GT(shown, 0);
    // On a busy machine the window may serve the press after the first row already.
    EXPECT_EQ(textOf(m_form, "lblMessage"),
              shown == 1 ? u"Only 1 File Found"_s : u"Files Found %1 (150)"_s.arg(shown));
    EXPECT_FALSE(m_form.StopHim);
}

TEST_F(Form1SearchTest, OpeningFindsTheDiscAndAsksForItOnlyWhenItIsGone)
{
    m_form.showLoaded();
    clickOn(control<QTableView>(m_form, "MSFlexGrid1")->viewport(),
            Qt::RightButton); // no search yet: no menu
    EXPECT_FALSE(control<QMenu>(m_form, "popmenu")->isVisible());

    search(u"notes"_s);
    control<app::DriveLetterBox>(m_form, "cmbDrive")->setEditText(m_discDrivePath.left(1));
    command("mnuFolder");
    ASSERT_EQ(shell.openedPaths().size(), 1);
    EXPECT_EQ(QDir::cleanPath(shell.openedPaths()[0]), m_disc.path(u"Photos"_s));

    // Gone: the user is asked to insert it.
    control<app::DriveLetterBox>(m_form, "cmbDrive")->setEditText(u"Q"_s);
    ASSERT_TRUE(QDir(m_disc.root()).rename(u"Photos"_s, u"Gone"_s));
    command("mnuFile");
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown()[0].caption, u"Unable to Open File"_s);
    EXPECT_EQ(dialogs.shown()[0].text, u"Please Insert CD : Holiday or\r\nCheck the File 'Q"_s +
                                           m_discDrivePath.mid(1) +
                                           u"\\Photos\\notes.txt' is a valid file to open "_s);
    EXPECT_EQ(shell.openedPaths().size(), 1);
}

TEST_F(Form1SearchTest, CopyToTheDesktopAsksForTheDiscWhenItIsMissing)
{
    const QString desktop = useOwnDesktop();

    search(u"Bob's"_s);
    // The disc's folder gone: Cancel ends the command.
    ASSERT_TRUE(QDir(m_disc.root()).rename(u"Music"_s, u"Gone"_s));
    control<app::DriveLetterBox>(m_form, "cmbDrive")->setEditText(u"Q"_s);
    dialogs.answer(ui::Answer::Cancel);
    command("mnucopydesk");
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown()[0].text, u"Path not found Pleae Insert CD : Holiday And Press OK"_s);
    EXPECT_EQ(dialogs.shown()[0].caption, u"Path not found"_s);
    EXPECT_EQ(m_form.windowTitle(), u"Quenlo Platterly"_s);

    EXPECT_TRUE(QDir(desktop).isEmpty());
}

TEST_F(Form1SearchTest, ARightClickActsOnTheRowUnderThePointer)
{
    m_form.showLoaded();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_form));
    control<app::DriveLetterBox>(m_form, "cmbDrive")->setEditText(m_discDrivePath.left(1));
    search(u"track"_s);
    QTableView* table = control<QTableView>(m_form, "MSFlexGrid1");
    const auto place = [&](int row) {
        return table->visualRect(table->model()->index(row, 1)).center();
    };
    clickOn(table->viewport(), Qt::LeftButton, place(0));
    clickOn(table->viewport(), Qt::RightButton, place(2));
    auto* menu = control<QMenu>(m_form, "popmenu");
    ASSERT_TRUE(menu->isVisible());
    EXPECT_EQ(m_form.PresentRow, 3);
    const QString name = cell(2, 1);
    EXPECT_EQ(textOf(m_form, "LBLFILE"), name.toUpper());

    QAction* open = control<QAction>(m_form, "mnuFile");
    clickOn(menu, Qt::LeftButton, menu->actionGeometry(open).center());
    ASSERT_EQ(shell.openedPaths().size(), 1);
    EXPECT_EQ(shell.openedPaths()[0], m_disc.path(u"Many/"_s + name));
}

TEST_F(Form1SearchTest, AFailedSearchSaysSo)
{
    m_form.showLoaded();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_form));
    {
        sql::SqlError error;
        auto db = sql::Database::open(appFile("db.db2"), &error);
        ASSERT_TRUE(db);
        ASSERT_FALSE(db->exec(u"DROP TABLE CDS"_s));
    }
    control<QComboBox>(m_form, "cmbStrs")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(control<QComboBox>(m_form, "cmbStrs"), Qt::Key_Return);
    EXPECT_TRUE(textOf(m_form, "lblMessage").startsWith(u"The search failed: "_s))
        << textOf(m_form, "lblMessage").toStdString();
    EXPECT_EQ(m_form.windowTitle(), u"Quenlo Platterly"_s);
}
