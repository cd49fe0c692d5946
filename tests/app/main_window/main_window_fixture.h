#pragma once

#include "catalogue/catalogue_file.h"
#include "cataloguing/cataloguing_run.h"
#include "platform/handover/program_state.h"
#include "platform/handover/windows.h"
#include "platform/system/application_folder.h"
#include "support/doubles/recording_shell_opener.h"
#include "support/doubles/recording_sound_output.h"
#include "support/doubles/scripted_dialogs.h"
#include "support/temp_tree.h"

#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

namespace platterly::app::test {

// The main window's surroundings for a test: an application folder of its own holding an
// empty catalogue, and message boxes, sounds, the desktop's file opener and the other
// windows replaced by recorders.
class MainWindowTest : public ::testing::Test
{
protected:
    MainWindowTest()
    {
        system::setApplicationFolderOverride(appFolder.path());
        EXPECT_FALSE(catalogue::createEmptyCatalogue(appFile("db.db2")));
        state.DBPath = appFile("db.db2");
    }

    ~MainWindowTest() override { system::setApplicationFolderOverride(QString()); }

    QString appFile(const char* name) const { return appFolder.filePath(QLatin1String(name)); }

    // Mouse events delivered through the window, so that Qt picks the widget under the point
    // as it does for a real mouse. `local` is in `target`'s coordinates, by default its middle.
    static QPoint inWindow(QWidget* target, QPoint local)
    {
        return target->mapTo(target->window(), local.x() < 0 ? target->rect().center() : local);
    }
    static void clickOn(QWidget* target, Qt::MouseButton button = Qt::LeftButton,
                        QPoint local = {-1, -1})
    {
        QTest::mouseClick(target->window()->windowHandle(), button, {}, inWindow(target, local));
    }
    static void pointAt(QWidget* target, QPoint local = {-1, -1})
    {
        QTest::mouseMove(target->window()->windowHandle(), inWindow(target, local));
    }

    // Catalogues `root` under `title` into the application folder's catalogue, recording the
    // entries under `driveRoot`.
    void catalogueFolder(const QString& title, const QString& root, const QString& driveRoot,
                         QDate date = {})
    {
        sql::DataControl data;
        data.setDatabaseName(appFile("db.db2"));
        const cataloguing::CataloguingRequest request{title, root, driveRoot, date};
        ASSERT_EQ(cataloguing::runCataloguing(data, request).outcome,
                  cataloguing::RunOutcome::Finished);
    }

    // A small disc: a.txt and Music/b.mp3 (one folder, two files).
    void catalogueSmallDisc(const QString& title, QDate date = {})
    {
        platterly::test::TempTree tree;
        tree.addFile(QStringLiteral("a.txt"));
        tree.addFile(QStringLiteral("Music/b.mp3"));
        catalogueFolder(title, tree.root(), QStringLiteral("E:\\"), date);
    }

    QTemporaryDir appFolder;
    // What the program hands its windows: the state for the run and the hand-over, whose
    // hooks a test wires to recorders.
    handover::ProgramState state;
    handover::Windows windows;
    ui::ScriptedDialogs dialogs;
    ui::RecordingShellOpener shell;
    ui::RecordingSoundOutput sound;

private:
    ui::DialogsOverride m_dialogsOverride{dialogs};
    ui::ShellOpenerOverride m_shellOverride{shell};
    ui::SoundOutputOverride m_soundOverride{sound};
};

} // namespace platterly::app::test
