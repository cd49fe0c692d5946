#pragma once

#include "app/windows/form1.h"
#include "catalogue/catalogue_file.h"
#include "cataloguing/cataloguing_run.h"
#include "platform/handover/program_state.h"
#include "platform/handover/windows.h"
#include "platform/system/application_folder.h"
#include "support/doubles/recording_shell_opener.h"
#include "support/doubles/recording_sound_output.h"
#include "support/doubles/scripted_dialogs.h"
#include "support/temp_tree.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <optional>
#include <stdexcept>

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

    ~MainWindowTest() override
    {
        system::setApplicationFolderOverride(QString());
        if (m_oldConfig)
            qputenv("XDG_CONFIG_HOME", *m_oldConfig);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    // A desktop folder of the test's own, "Desk" in a home of its own, as the desktop's
    // user-dirs.dirs names it; the configuration folder in force before comes back after.
    QString useOwnDesktop()
    {
        qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8());
        const QString desk = m_home.filePath(QStringLiteral("Desk"));
        QDir().mkpath(desk);
        QFile dirs(m_home.filePath(QStringLiteral("user-dirs.dirs")));
        EXPECT_TRUE(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_DESKTOP_DIR=\"" + desk.toUtf8() + "\"\n");
        return desk;
    }

    QString appFile(const char* name) const { return appFolder.filePath(QLatin1String(name)); }

    // A control of `window` found by its name, as a user finds it by its place; a control
    // that is not there fails the test.
    template <typename Control = QWidget>
    static Control* control(const QObject& window, const char* name)
    {
        auto* found = window.findChild<Control*>(QLatin1String(name));
        if (!found)
            throw std::runtime_error(std::string("no control named ") + name);
        return found;
    }
    static QString textOf(const QObject& window, const char* label)
    {
        return control<QLabel>(window, label)->text();
    }
    static QListWidget* discList(const QObject& window)
    {
        return control<QListWidget>(window, "List1");
    }
    static QAbstractItemModel* grid(const QObject& window)
    {
        return control<QTableView>(window, "MSFlexGrid1")->model();
    }
    // The names of the found files, as the grid shows them.
    static QStringList foundNames(const QObject& window)
    {
        QStringList names;
        const QAbstractItemModel* model = grid(window);
        for (int row = 0; row < model->rowCount(); ++row)
            names.append(model->index(row, 1).data().toString());
        return names;
    }
    // A pattern and a category typed into their boxes, then Search pressed.
    static void searchFor(const QObject& window, const QString& pattern,
                          const QString& category = QStringLiteral("All Files"))
    {
        control<QComboBox>(window, "cmbStrs")->setEditText(pattern);
        control<QComboBox>(window, "cmbSearch")->setEditText(category);
        control<QPushButton>(window, "cmdSearch")->click();
    }
    // Makes the row shown as `name` current, as a click on it does, and chooses `command` of
    // the grid's menu if one is given.
    static void chooseFound(const QObject& window, const QString& name,
                            const char* command = nullptr)
    {
        const int row = static_cast<int>(foundNames(window).indexOf(name));
        ASSERT_GE(row, 0) << name.toStdString();
        auto* table = control<QTableView>(window, "MSFlexGrid1");
        table->setCurrentIndex(table->model()->index(row, 1));
        if (command)
            control<QAction>(window, command)->trigger();
    }

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
    static void doubleClickOn(QWidget* target, QPoint local)
    {
        QTest::mouseDClick(target->window()->windowHandle(), Qt::LeftButton, {},
                           inWindow(target, local));
    }
    static void pointAt(QWidget* target, QPoint local = {-1, -1})
    {
        QTest::mouseMove(target->window()->windowHandle(), inWindow(target, local));
    }

    // Catalogues `root` under `title` into a catalogue of the application folder, recording
    // the entries under `driveRoot`.
    void catalogueFolder(const QString& title, const QString& root, const QString& driveRoot,
                         QDate date = {}, const char* file = "db.db2")
    {
        sql::DataControl data;
        data.setDatabaseName(appFile(file));
        const cataloguing::CataloguingRequest request{title, root, driveRoot, date};
        ASSERT_EQ(cataloguing::runCataloguing(data, request).outcome,
                  cataloguing::RunOutcome::Finished);
    }

    // A small disc: a.txt and Music/b.mp3 (one folder, two files).
    void catalogueSmallDisc(const QString& title, QDate date = {}, const char* file = "db.db2")
    {
        platterly::test::TempTree tree;
        tree.addFile(QStringLiteral("a.txt"));
        tree.addFile(QStringLiteral("Music/b.mp3"));
        catalogueFolder(title, tree.root(), QStringLiteral("E:\\"), date, file);
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
    QTemporaryDir m_home;
    std::optional<QByteArray> m_oldConfig =
        qEnvironmentVariableIsSet("XDG_CONFIG_HOME")
            ? std::optional<QByteArray>(qgetenv("XDG_CONFIG_HOME"))
            : std::nullopt;
    ui::DialogsOverride m_dialogsOverride{dialogs};
    ui::ShellOpenerOverride m_shellOverride{shell};
    ui::SoundOutputOverride m_soundOverride{sound};
};

} // namespace platterly::app::test
