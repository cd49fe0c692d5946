#include "app/windows/form1.h"
#include "browse/disc_list.h"
#include "catalogue/catalogue_file.h"
#include "cataloguing/cataloguing_run.h"
#include "main_window_fixture.h"
#include "platform/drives/system_volume_source.h"
#include "platform/drives/typed_path.h"
#include "platform/handover/program_state.h"
#include "platform/handover/windows.h"
#include "platform/system/application_folder.h"
#include "support/damaged_catalogue.h"
#include "support/doubles/recording_shell_opener.h"
#include "support/doubles/recording_sound_output.h"
#include "support/doubles/scripted_dialogs.h"
#include "support/temp_tree.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace platterly;

namespace {

class Form1MaintenanceTest : public app::test::MainWindowTest
{
protected:
    Form1MaintenanceTest()
    {
        catalogueSmallDisc(QStringLiteral("Photos"));
        catalogueSmallDisc(QStringLiteral("Music"));
        m_form.Load();
    }

    void chooseDisc(int row)
    {
        m_form.List1->setCurrentRow(row);
        m_form.List1_Click();
    }

    app::Form1 m_form{state, windows};
};

} // namespace

TEST_F(Form1MaintenanceTest, DeleteAsksFirstAndUpdatesListAndTotals)
{
    dialogs.answer(ui::Answer::Ok);
    m_form.cmdDelete_Click();
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text, QStringLiteral("Select CD to Delete And Press the Button"));
    EXPECT_EQ(dialogs.shown()[0].caption, QStringLiteral("PLATTERLY"));

    chooseDisc(0);
    m_form.List1_DblClick();
    dialogs.answer(ui::Answer::No);
    m_form.cmdDelete_Click();
    EXPECT_EQ(m_form.List1->count(), 2);

    dialogs.answer(ui::Answer::Yes);
    m_form.cmdDelete_Click();
    ASSERT_EQ(dialogs.shown().size(), 3u);
    EXPECT_EQ(dialogs.shown()[2].text,
              QStringLiteral("Do you Really Want to Delete The CD Title From DATABASE?"));
    EXPECT_EQ(dialogs.shown()[2].buttons, ui::Buttons::YesNo);
    ASSERT_EQ(m_form.List1->count(), 1);
    EXPECT_EQ(m_form.List1->item(0)->text(), QStringLiteral("Music"));
    EXPECT_EQ(m_form.lblTotals->text(),
              QStringLiteral(":: Total ::  2 Files   &&  1 Folders  in    :::  1  :::CDs"));
    EXPECT_TRUE(m_form.SelCDName.isEmpty());
    EXPECT_TRUE(m_form.LBLtFILES->text().isEmpty());
    EXPECT_EQ(m_form.trv->model()->rowCount(), 0);
    EXPECT_EQ(m_form.windowTitle(), QStringLiteral("Quenlo Platterly"));
    EXPECT_FALSE(dialogs.failed());
}

TEST_F(Form1MaintenanceTest, RenameAcceptsOneToFifteenCharacters)
{
    chooseDisc(1);
    dialogs.type(QStringLiteral("1234567890123456")); // 16: refused without a word
    m_form.Rename_Click();
    EXPECT_EQ(m_form.List1->item(1)->text(), QStringLiteral("Music"));
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text, QStringLiteral("Enter New CD Name(uptp 15 letters only)"));
    EXPECT_EQ(dialogs.shown()[0].caption, QStringLiteral("Rename CD Collection"));
    EXPECT_EQ(dialogs.shown()[0].defaultText, QStringLiteral("Music"));

    chooseDisc(1);
    dialogs.type(QStringLiteral("Bob's Tunes"));
    m_form.Rename_Click();
    EXPECT_EQ(m_form.List1->item(1)->text(), QStringLiteral("Bob's Tunes"));
    EXPECT_EQ(m_form.lblTotals->text(),
              QStringLiteral(":: Total ::  4 Files   &&  2 Folders  in    :::  2  :::CDs"));
    EXPECT_EQ(dialogs.shown().size(), 2u);
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
    chooseDisc(2);
    m_form.List1_DblClick();
    QAction* update = m_form.Pop2->findChild<QAction*>(QStringLiteral("Update"));
    ASSERT_TRUE(update);
    EXPECT_EQ(update->text(), QStringLiteral("&Update CD"));

    disc.addFile(QStringLiteral("Music/c.mp3"));
    disc.setModified(QStringLiteral("Music"), 1'700'000'000);
    dialogs.answer(ui::Answer::Ok);
    update->trigger();
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text,
              QStringLiteral("CD Updated: Live\r\n1 added, 0 removed, 1 changed."));
    // The disc keeps its place and shows its new counts and contents.
    EXPECT_EQ(m_form.List1->count(), 3);
    EXPECT_EQ(m_form.List1->currentRow(), 2);
    EXPECT_EQ(m_form.LBLtFILES->text(),
              browse::discCountsLine(QStringLiteral("1"), QStringLiteral("3")));
    const QModelIndex music = m_form.treeModel().index(2, 0);
    EXPECT_EQ(music.data().toString(), QStringLiteral("Music"));
    EXPECT_EQ(m_form.treeModel().rowCount(music), 2);
    EXPECT_EQ(m_form.windowTitle(), QStringLiteral("Quenlo Platterly"));

    // A disc that is not in its drive is refused, and nothing changes.
    chooseDisc(0);
    dialogs.answer(ui::Answer::Ok);
    update->trigger();
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_TRUE(dialogs.shown()[1].text.startsWith(QStringLiteral("Please Insert CD : Photos")))
        << dialogs.shown()[1].text.toStdString();
    EXPECT_EQ(m_form.lblTotals->text(),
              QStringLiteral(":: Total ::  7 Files   &&  3 Folders  in    :::  3  :::CDs"));
    EXPECT_FALSE(dialogs.failed());
}

TEST_F(Form1MaintenanceTest, BackupRefusesTheOpenFileAndReportsWhereItWent)
{
    dialogs.answer(ui::Answer::No);
    m_form.Image2_MouseUp();
    EXPECT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].caption, QStringLiteral("Want to Take Back-Up?"));

    // A catalogue named like its own backup is refused; the name is asked again.
    ASSERT_TRUE(QFile::copy(appFile("db.db2"), appFile("live.DB2")));
    state.DBPath = appFile("live.DB2");
    dialogs.answer(ui::Answer::Yes);
    dialogs.type(QStringLiteral("live"));
    dialogs.answer(ui::Answer::Ok);
    dialogs.type(QStringLiteral("kept"));
    dialogs.answer(ui::Answer::Ok);
    m_form.Image2_MouseUp();
    const QStringList texts = dialogs.shownTexts();
    ASSERT_EQ(texts.size(), 6);
    EXPECT_EQ(texts[2], QStringLiteral("Enter Backup File Name"));
    EXPECT_EQ(texts[3],
              QStringLiteral("Database in use (unable toOver write) please chose another name"));
    EXPECT_TRUE(
        texts[5].startsWith(QStringLiteral("Back-up File Stored in the application folder")));
    EXPECT_TRUE(texts[5].endsWith(QStringLiteral("\tkept.DB2")));
    EXPECT_TRUE(QFile::exists(appFile("kept.DB2")));
    EXPECT_FALSE(dialogs.failed());
}

TEST_F(Form1MaintenanceTest, ExportWritesTheGridAndOpensIt)
{
    m_form.cmbStrs->setEditText(QStringLiteral("a.txt"));
    m_form.cmdSearch_Click();
    ASSERT_EQ(m_form.FoundCount, 2);
    const QString target = appFile("results.docx");
    dialogs.type(target);
    m_form.CmdExport_Click();
    EXPECT_TRUE(QFile::exists(target));
    ASSERT_EQ(shell.openedPaths().size(), 1);
    EXPECT_EQ(shell.openedPaths()[0], target);
}

TEST_F(Form1MaintenanceTest, ExportAsksBeforeReplacingAFile)
{
    m_form.cmbStrs->setEditText(QStringLiteral("a.txt"));
    m_form.cmdSearch_Click();
    const QString target = appFile("notes.txt");
    QFile notes(target);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("my notes");
    notes.close();

    dialogs.type(target);
    dialogs.answer(ui::Answer::No);
    m_form.CmdExport_Click();
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(dialogs.shown()[1].text, target + QStringLiteral(" already exists.\nDo you want "
                                                               "to replace it?"));
    EXPECT_EQ(dialogs.shown()[1].buttons, ui::Buttons::YesNo);
    ASSERT_TRUE(notes.open(QIODevice::ReadOnly));
    EXPECT_EQ(notes.readAll(), QByteArray("my notes"));
    notes.close();
    EXPECT_TRUE(shell.openedPaths().isEmpty());

    dialogs.type(target);
    dialogs.answer(ui::Answer::Yes);
    m_form.CmdExport_Click();
    ASSERT_TRUE(notes.open(QIODevice::ReadOnly));
    EXPECT_TRUE(notes.readAll().startsWith("PK"));
    EXPECT_EQ(shell.openedPaths(), QStringList{target});
    EXPECT_FALSE(dialogs.failed());
}

TEST_F(Form1MaintenanceTest, BackupOfADamagedCatalogueWarnsAfterTheReport)
{
    test::orphanFreePages(state.DBPath);
    dialogs.answer(ui::Answer::Yes);
    dialogs.type(QStringLiteral("rescue"));
    dialogs.answer(ui::Answer::Ok);
    dialogs.answer(ui::Answer::Ok);
    m_form.Image2_MouseUp();
    ASSERT_EQ(dialogs.shown().size(), 4u);
    EXPECT_TRUE(dialogs.shown()[2].text.endsWith(QStringLiteral("\trescue.DB2")));
    EXPECT_TRUE(dialogs.shown()[3].text.contains(QLatin1String("fails SQLite's integrity check")))
        << dialogs.shown()[3].text.toStdString();
    EXPECT_EQ(dialogs.shown()[3].icon, ui::Icon::Warning);
    EXPECT_TRUE(QFile::exists(appFile("rescue.DB2")));
    EXPECT_FALSE(dialogs.failed());
}
