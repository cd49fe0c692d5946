#pragma once

#include "catalogue/settings.h"
#include "chooser/drive_box.h"
#include "chooser/file_list.h"
#include "chooser/folder_list.h"
#include "chooser/frm_loading.h"
#include "platform/drives/volume_source.h"
#include "platform/handover/program_state.h"
#include "platform/handover/windows.h"
#include "platform/system/application_folder.h"
#include "platform/system/profile_file.h"
#include "platform/system/system_test_support.h"
#include "support/doubles/scripted_dialogs.h"
#include "support/temp_tree.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace platterly::chooser::test {

using platterly::test::TempTree;

// A machine for the chooser: the root file system as C:, an empty optical drive D: and an
// optical drive E: whose disc is mounted on the folder "cdrom" of the temporary tree. The
// application folder "app" holds the settings file and the default catalogue db.db2. Message
// boxes are answered from a script and the hand-over to other windows is recorded.
class ChooserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tree.addFile(QStringLiteral("app/db.db2"), "catalogue");
        tree.addFile(QStringLiteral("cdrom/ON_DISC.DB2"), "catalogue");
        system::setApplicationFolderOverride(applicationFolder());
        windows.showMain = [this] { ++mainShown; };
        windows.showChooser = [this] { ++chooserShown; };
        chooser = std::make_unique<frmLoading>(state, windows, [this] { return currentDrives(); });
    }

    void TearDown() override
    {
        chooser.reset();
        system::setApplicationFolderOverride({});
    }

    // The drive map as the chooser reads it; the empty drive D: gets a disc once
    // discInDriveD is set.
    drives::DriveMap currentDrives()
    {
        ++driveReads;
        QByteArray table = "22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
                           "36 22 11:1 / " +
                           tree.path(QStringLiteral("cdrom")).toUtf8() +
                           " ro,relatime shared:2 - iso9660 /dev/sr1 ro\n";
        if (discInDriveD)
            table += "37 22 11:0 / " + tree.path(QStringLiteral("disc")).toUtf8() +
                     " ro,relatime shared:3 - iso9660 /dev/sr0 ro\n";
        drives::FixedVolumeSource source(table);
        source.addOpticalDevice(QStringLiteral("/dev/sr0"), QStringLiteral("11:0"));
        source.addOpticalDevice(QStringLiteral("/dev/sr1"), QStringLiteral("11:1"));
        return drives::DriveMap(source);
    }

    QString applicationFolder() const { return tree.path(QStringLiteral("app")); }
    QString settingsFile() const { return tree.path(QStringLiteral("app/settings.ini")); }

    void rememberFolder(const QString& loadedPath)
    {
        ASSERT_TRUE(system::WriteINI(settingsFile(), QStringLiteral("Paths"),
                                     QStringLiteral("LoadedPath"), loadedPath));
    }
    QString rememberedFolder() const
    {
        return system::ReadINI(settingsFile(), QStringLiteral("Paths"),
                               QStringLiteral("LoadedPath"), QStringLiteral("(none)"));
    }

    // The drive form the chooser stores for a folder of the tree on C:.
    QString storedFormOf(const QString& relative) const
    {
        QString text = QStringLiteral("C:") + tree.path(relative);
        text.replace(QLatin1Char('/'), QLatin1Char('\\'));
        return text.toUpper() + QLatin1Char('\\');
    }

    // Loads the chooser and shows it as the program does.
    void open() { chooser->showLoaded(); }

    QStringList listedFiles() const
    {
        QStringList names;
        for (int i = 0; i < chooser->File1->count(); ++i)
            names.append(chooser->File1->item(i)->text());
        return names;
    }

    int rowOfFile(const QString& name) const
    {
        const auto found = chooser->File1->findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? -1 : chooser->File1->row(found.first());
    }

    void clickFile(const QString& name)
    {
        const int row = rowOfFile(name);
        ASSERT_GE(row, 0) << name.toStdString() << " is not listed";
        QListWidget* list = chooser->File1;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }

    // A double click as the user gives it: a first click, then the second one.
    static void doubleClickRow(QListWidget* list, int row)
    {
        const QPoint centre = list->visualItemRect(list->item(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    }

    int rowOfFolder(const QString& folder) const
    {
        for (int row = 0; row < chooser->Dir1->count(); ++row) {
            if (chooser->Dir1->folderAt(row) == folder)
                return row;
        }
        return -1;
    }

    void doubleClickFolder(const QString& folder)
    {
        const int row = rowOfFolder(folder);
        ASSERT_GE(row, 0) << folder.toStdString() << " is not listed";
        doubleClickRow(chooser->Dir1, row);
    }

    TempTree tree;
    ui::ScriptedDialogs dialogs;
    ui::DialogsOverride dialogsOverride{dialogs};
    handover::ProgramState state;
    handover::Windows windows;
    std::unique_ptr<frmLoading> chooser;
    int mainShown = 0;
    int chooserShown = 0;
    int driveReads = 0;
    bool discInDriveD = false;
};

} // namespace platterly::chooser::test
