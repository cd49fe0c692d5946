#include "main_window_fixture.h"
#include "platform/drives/system_volume_source.h"
#include "platform/drives/typed_path.h"
#include "support/damaged_catalogue.h"

#include <QDir>
#include <QFile>
#include <QTreeView>

using namespace Qt::StringLiterals;

using namespace platterly;

namespace {

class Form1MaintenanceTest : public app::test::MainWindowTest
{
protected:
    Form1MaintenanceTest()
    {
        catalogueSmallDisc(u"Photos"_s);
        catalogueSmallDisc(u"Music"_s);
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
              u"Do you Really Want to Delete The CD Title From DATABASE?"_s);
    EXPECT_EQ(dialogs.shown()[1].buttons, ui::Buttons::YesNo);
    ASSERT_EQ(discList(m_form)->count(), 1);
    EXPECT_EQ(discList(m_form)->item(0)->text(), u"Music"_s);
    EXPECT_EQ(textOf(m_form, "lblTotals"),
              u":: Total ::  2 Files   &&  1 Folders  in    :::  1  :::CDs"_s);
    EXPECT_TRUE(m_form.SelCDName.isEmpty());
    EXPECT_TRUE(textOf(m_form, "LBLtFILES").isEmpty());
    EXPECT_EQ(control<QTreeView>(m_form, "trv")->model()->rowCount(), 0);
    EXPECT_FALSE(dialogs.failed());
}

TEST_F(Form1MaintenanceTest, RenameTakesOneToFifteenCharactersAndLeavesNoDiscHighlighted)
{
    chooseDisc(1);
    dialogs.type(u"1234567890123456"_s); // 16: refused without a word
    command("Rename");
    EXPECT_EQ(discList(m_form)->item(1)->text(), u"Music"_s);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].caption, u"Rename CD Collection"_s);
    EXPECT_EQ(dialogs.shown()[0].defaultText, u"Music"_s);

    // A rename fills the list again with no disc highlighted, though one was chosen: Update
    // and Delete then ask for one.
    chooseDisc(1);
    dialogs.type(u"Bob's Tunes"_s);
    command("Rename");
    EXPECT_EQ(discList(m_form)->item(1)->text(), u"Bob's Tunes"_s);
    dialogs.answer(ui::Answer::Ok);
    command("Update");
    dialogs.answer(ui::Answer::Ok);
    press("cmdDelete");
    const QString enterName = u"Enter New CD Name(uptp 15 letters only)"_s;
    EXPECT_EQ(dialogs.shownTexts(),
              (QStringList{enterName, enterName, u"Select CD to Update And Press the Button"_s,
                           u"Select CD to Delete And Press the Button"_s}));
    for (int shown : {2, 3}) {
        EXPECT_EQ(dialogs.shown()[shown].caption, u"PLATTERLY"_s);
        EXPECT_EQ(dialogs.shown()[shown].buttons, ui::Buttons::Ok);
        EXPECT_EQ(dialogs.shown()[shown].icon, ui::Icon::None);
    }
    EXPECT_EQ(discList(m_form)->count(), 2);
    EXPECT_FALSE(dialogs.failed());
}

TEST_F(Form1MaintenanceTest, UpdateCdReadsTheDiscAgainWhereItWasCatalogued)
{
    test::TempTree disc;
    disc.addFile(u"a.txt"_s);
    disc.addFile(u"Music/b.mp3"_s);
    disc.setAllModified(1'600'000'000);
    const drives::TypedPath where =
        drives::resolveTypedPath(drives::systemDriveMap(), disc.root(), QDir::currentPath());
    ASSERT_TRUE(where.ok()) << where.error.toStdString();
    catalogueFolder(u"Live"_s, where.nativePath, where.drivePath);
    m_form.Load();
    openDisc(2);
    QAction* update = control<QAction>(m_form, "Update");
    EXPECT_EQ(update->text(), u"&Update CD"_s);

    disc.addFile(u"Music/c.mp3"_s);
    disc.setModified(u"Music"_s, 1'700'000'000);
    dialogs.answer(ui::Answer::Ok);
    update->trigger();
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text, u"CD Updated: Live\r\n1 added, 0 removed, 1 changed."_s);
    // The disc keeps its place and shows its new counts and contents.
    EXPECT_EQ(discList(m_form)->count(), 3);
    EXPECT_EQ(discList(m_form)->currentRow(), 2);
    EXPECT_EQ(textOf(m_form, "LBLtFILES"), u"Directories: 1 Files: 3"_s);

    // A disc that is not in its drive is refused, and nothing changes.
    chooseDisc(0);
    dialogs.answer(ui::Answer::Ok);
    update->trigger();
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_TRUE(dialogs.shown()[1].text.startsWith(u"Please Insert CD : Photos"_s))
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
    EXPECT_EQ(dialogs.shown()[0].caption, u"Want to Take Back-Up?"_s);
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
    dialogs.type(u"live"_s);
    dialogs.answer(ui::Answer::Ok);
    dialogs.type(u"kept"_s);
    dialogs.answer(ui::Answer::Ok);
    press("Image2");
    const QStringList texts = dialogs.shownTexts();
    ASSERT_EQ(texts.size(), 5);
    EXPECT_EQ(texts[1], u"Enter Backup File Name"_s);
    EXPECT_EQ(texts[2], u"Database in use (unable toOver write) please chose another name"_s);
    EXPECT_EQ(texts[4], u"Back-up File Stored in the application folder\r\n\r\n("_s +
                            QDir::toNativeSeparators(appFolder.path()) + QDir::separator() +
                            u") as\r\n\r\n\tkept.DB2"_s);
    EXPECT_EQ(backups(), (QStringList{u"kept.DB2"_qs, u"live.DB2"_qs}));

    // A damaged catalogue is copied, with a warning after the report.
    test::orphanFreePages(state.DBPath);
    dialogs.clear();
    dialogs.answer(ui::Answer::Yes);
    dialogs.type(u"rescue"_s);
    dialogs.answer(ui::Answer::Ok);
    dialogs.answer(ui::Answer::Ok);
    press("Image2");
    ASSERT_EQ(dialogs.shown().size(), 4u);
    EXPECT_TRUE(dialogs.shown()[2].text.endsWith(u"\trescue.DB2"_s));
    EXPECT_TRUE(dialogs.shown()[3].text.contains(QLatin1String("fails SQLite's integrity check")))
        << dialogs.shown()[3].text.toStdString();
    EXPECT_EQ(dialogs.shown()[3].icon, ui::Icon::Warning);
    EXPECT_TRUE(QFile::exists(appFile("rescue.DB2")));
    EXPECT_FALSE(dialogs.failed());
}

TEST_F(Form1MaintenanceTest, ExportAsksBeforeReplacingAFile)
{
    searchFor(m_form, u"a.txt"_s);
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
