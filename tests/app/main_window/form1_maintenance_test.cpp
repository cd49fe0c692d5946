#include "main_window_fixture.h"
#include "platform/drives/system_volume_source.h"
#include "platform/drives/typed_path.h"
#include "support/damaged_catalogue.h"

#include <QDir>
#include <QFile>
#include <QTreeView>

using namespace platterly;

namespace {

class Form1MaintenanceTest : public app::test::MainWindowTest
{
protected:
    Form1MaintenanceTest()
    {
        catalogueSmallDisc(QStringLiteral("Photos"));
        catalogueSmallDisc(QStringLiteral("Music"));
        m_form.showLoaded();
    }

    void chooseDisc(int row) { discList(m_form)->setCurrentRow(row); }
    void openDisc(int row)
    {
        QListWidget* list = discList(m_form);
        list->setCurrentRow(row);
        doubleClickOn(list->viewport(), list->visualItemRect(list->item(row)).center());
    }
    void command(const char* name) { control<QAction>(m_form, name)->trigger(); }
    void press(const char* name) { clickOn(control(m_form, name)); }

    app::Form1 m_form{state, windows};
};

} // namespace

TEST_F(Form1MaintenanceTest, DeleteAsksFirstAndUpdatesListAndTotals)
{
    openDisc(0);
    dialogs.answer(ui::Answer::No);
    press("cmdDelete");
    EXPECT_EQ(discList(m_form)->count(), 2);

    dialogs.answer(ui::Answer::Yes);
    press("cmdDelete");
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(dialogs.shown()[1].text,
              QStringLiteral("Do you Really Want to Delete The CD Title From DATABASE?"));
    EXPECT_EQ(dialogs.shown()[1].buttons, ui::Buttons::YesNo);
    ASSERT_EQ(discList(m_form)->count(), 1);
    EXPECT_EQ(discList(m_form)->item(0)->text(), QStringLiteral("Music"));
    EXPECT_EQ(textOf(m_form, "lblTotals"),
              QStringLiteral(":: Total ::  2 Files   &&  1 Folders  in    :::  1  :::CDs"));
    EXPECT_TRUE(m_form.SelCDName.isEmpty());
    EXPECT_TRUE(textOf(m_form, "LBLtFILES").isEmpty());
    EXPECT_EQ(control<QTreeView>(m_form, "trv")->model()->rowCount(), 0);
    EXPECT_EQ(m_form.windowTitle(), QStringLiteral("Quenlo Platterly"));
    EXPECT_FALSE(dialogs.failed());
}

TEST_F(Form1MaintenanceTest, RenameTakesOneToFifteenCharactersAndLeavesNoDiscHighlighted)
{
    chooseDisc(1);
    dialogs.type(QStringLiteral("1234567890123456")); // 16: refused without a word
    command("Rename");
    EXPECT_EQ(discList(m_form)->item(1)->text(), QStringLiteral("Music"));
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].caption, QStringLiteral("Rename CD Collection"));
    EXPECT_EQ(dialogs.shown()[0].defaultText, QStringLiteral("Music"));

    // A rename fills the list again with no disc highlighted, though one was chosen: Update
    // and Delete then ask for one.
    chooseDisc(1);
    dialogs.type(QStringLiteral("Bob's Tunes"));
    command("Rename");
    EXPECT_EQ(discList(m_form)->item(1)->text(), QStringLiteral("Bob's Tunes"));
    dialogs.answer(ui::Answer::Ok);
    command("Update");
    dialogs.answer(ui::Answer::Ok);
    press("cmdDelete");
    const QString enterName = QStringLiteral("Enter New CD Name(uptp 15 letters only)");
    EXPECT_EQ(dialogs.shownTexts(),
              (QStringList{enterName, enterName,
                           QStringLiteral("Select CD to Update And Press the Button"),
                           QStringLiteral("Select CD to Delete And Press the Button")}));
    for (int shown : {2, 3}) {
        EXPECT_EQ(dialogs.shown()[shown].caption, QStringLiteral("PLATTERLY"));
        EXPECT_EQ(dialogs.shown()[shown].buttons, ui::Buttons::Ok);
        EXPECT_EQ(dialogs.shown()[shown].icon, ui::Icon::None);
    }
    EXPECT_EQ(discList(m_form)->count(), 2);
    EXPECT_FALSE(dialogs.failed());
}

TEST_F(Form1MaintenanceTest, UpdateCdReadsTheDiscAgainWhereItWasCatalogued)
{
    test::TempTree disc;
    disc.addFile(QStringLiteral("a.txt"));
    disc.addFile(QStringLiteral("Music/b.mp3"));
    disc.setAllModified(1'600'000'000);
    const drives::TypedPath where =
        drives::resolveTypedPath(drives::systemDriveMap(), disc.root(), QDir::currentPath());
    ASSERT_TRUE(where.ok()) << where.error.toStdString();
    catalogueFolder(QStringLiteral("Live"), where.nativePath, where.drivePath);
    m_form.Load();
    openDisc(2);
    QAction* update = control<QAction>(m_form, "Update");
    EXPECT_EQ(update->text(), QStringLiteral("&Update CD"));

    disc.addFile(QStringLiteral("Music/c.mp3"));
    disc.setModified(QStringLiteral("Music"), 1'700'000'000);
    dialogs.answer(ui::Answer::Ok);
    update->trigger();
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text,
              QStringLiteral("CD Updated: Live\r\n1 added, 0 removed, 1 changed."));
    // The disc keeps its place and shows its new counts and contents.
    EXPECT_EQ(discList(m_form)->count(), 3);
    EXPECT_EQ(discList(m_form)->currentRow(), 2);
    EXPECT_EQ(textOf(m_form, "LBLtFILES"), QStringLiteral("Directories: 1 Files: 3"));

    // A disc that is not in its drive is refused, and nothing changes.
    chooseDisc(0);
    dialogs.answer(ui::Answer::Ok);
    update->trigger();
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_TRUE(dialogs.shown()[1].text.startsWith(QStringLiteral("Please Insert CD : Photos")))
        << dialogs.shown()[1].text.toStdString();
    EXPECT_FALSE(dialogs.failed());
}

TEST_F(Form1MaintenanceTest, BackupTakesOnlyANamedCopyThatIsNotTheFileInUseAndWarnsOfDamage)
{
    // No, Cancel and an empty name take no backup (an empty one would be a hidden ".DB2").
    dialogs.answer(ui::Answer::No);
    press("Image2");
    dialogs.answer(ui::Answer::Yes);
    dialogs.cancelInput();
    press("Image2");
    dialogs.answer(ui::Answer::Yes);
    dialogs.type(QString());
    press("Image2");
    EXPECT_EQ(dialogs.shown().size(), 5u); // three questions, two names, no report
    EXPECT_EQ(dialogs.shown()[0].caption, QStringLiteral("Want to Take Back-Up?"));
    const auto backups = [this] {
        return QDir(appFolder.path())
            .entryList({u"*.DB2"_qs}, QDir::Files | QDir::Hidden | QDir::CaseSensitive);
    };
    EXPECT_TRUE(backups().isEmpty());

    // A catalogue named like its own backup is refused; the name is asked again.
    ASSERT_TRUE(QFile::copy(appFile("db.db2"), appFile("live.DB2")));
    state.DBPath = appFile("live.DB2");
    dialogs.clear();
    dialogs.answer(ui::Answer::Yes);
    dialogs.type(QStringLiteral("live"));
    dialogs.answer(ui::Answer::Ok);
    dialogs.type(QStringLiteral("kept"));
    dialogs.answer(ui::Answer::Ok);
    press("Image2");
    const QStringList texts = dialogs.shownTexts();
    ASSERT_EQ(texts.size(), 5);
    EXPECT_EQ(texts[1], QStringLiteral("Enter Backup File Name"));
    EXPECT_EQ(texts[2],
              QStringLiteral("Database in use (unable toOver write) please chose another name"));
    EXPECT_EQ(texts[4], QStringLiteral("Back-up File Stored in the application folder\r\n\r\n(") +
                            QDir::toNativeSeparators(appFolder.path()) + QDir::separator() +
                            QStringLiteral(") as\r\n\r\n\tkept.DB2"));
    EXPECT_EQ(backups(), (QStringList{u"kept.DB2"_qs, u"live.DB2"_qs}));

    // A damaged catalogue is copied, with a warning after the report.
    test::orphanFreePages(state.DBPath);
    dialogs.clear();
    dialogs.answer(ui::Answer::Yes);
    dialogs.type(QStringLiteral("rescue"));
    dialogs.answer(ui::Answer::Ok);
    dialogs.answer(ui::Answer::Ok);
    press("Image2");
    ASSERT_EQ(dialogs.shown().size(), 4u);
    EXPECT_TRUE(dialogs.shown()[2].text.endsWith(QStringLiteral("\trescue.DB2")));
    EXPECT_TRUE(dialogs.shown()[3].text.contains(QLatin1String("fails SQLite's integrity check")))
        << dialogs.shown()[3].text.toStdString();
    EXPECT_EQ(dialogs.shown()[3].icon, ui::Icon::Warning);
    EXPECT_TRUE(QFile::exists(appFile("rescue.DB2")));
    EXPECT_FALSE(dialogs.failed());
}

TEST_F(Form1MaintenanceTest, ExportAsksBeforeReplacingAFile)
{
    searchFor(m_form, QStringLiteral("a.txt"));
    const QString target = appFile("notes.txt");
    QFile notes(target);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("my notes");
    notes.close();

    dialogs.type(target);
    dialogs.answer(ui::Answer::No);
    press("CmdExport");
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(dialogs.shown()[1].text, target + QStringLiteral(" already exists.\nDo you want "
                                                               "to replace it?"));
    EXPECT_EQ(dialogs.shown()[1].buttons, ui::Buttons::YesNo);
    ASSERT_TRUE(notes.open(QIODevice::ReadOnly));
    EXPECT_EQ(notes.readAll(), QByteArray("my notes"));
    notes.close();

    dialogs.type(target);
    dialogs.answer(ui::Answer::Yes);
    press("CmdExport");
    ASSERT_TRUE(notes.open(QIODevice::ReadOnly));
    EXPECT_TRUE(notes.readAll().startsWith("PK"));
    EXPECT_EQ(shell.openedPaths(), QStringList{target});
    EXPECT_FALSE(dialogs.failed());
}
