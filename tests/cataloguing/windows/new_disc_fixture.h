#pragma once

#include "catalogue/catalogue_file.h"
#include "cataloguing/windows/form2.h"
#include "cataloguing/windows/frm_path.h"
#include "platform/drives/volume_source.h"
#include "platform/handover/program_state.h"
#include "platform/handover/windows.h"
#include "platform/sql/sqlite_db.h"
#include "platform/system/application_folder.h"
#include "platform/system/profile_file.h"
#include "platform/system/system_test_support.h"
#include "support/catalogue_rows.h"
#include "support/doubles/scripted_dialogs.h"
#include "support/temp_tree.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace platterly::cataloguing::test {

using platterly::test::TempTree;

// The real lister, with a hook called before each folder is listed and folders that can be
// made to fail as an unreadable folder does.
class HookedLister final : public FolderLister
{
public:
    std::function<void(const QByteArray&)> beforeListing;
    QList<QByteArray> failing; // folder name endings: "/B"

    ListOutcome list(const QByteArray& nativePath, const ListOptions& options,
                     FolderListing& listing) override
    {
        if (beforeListing)
            beforeListing(nativePath);
        for (const QByteArray& ending : failing) {
            if (nativePath.endsWith(ending)) {
                listing.clear();
                return {ListStatus::Unreadable, QStringLiteral("Permission denied")};
            }
        }
        return m_system.list(nativePath, options, listing);
    }

private:
    SystemFolderLister m_system;
};

// A machine for the new-disc window and the picker: the root file system as C:; the optical
// drive D: holding a disc labelled PHOTOS_2004, mounted on the folder "discD" of the
// temporary tree; the optical drive E: holding a disc without a label on "discE"; and the
// optical drive F:, empty until discInDriveF is set. The application folder "app" holds an
// empty catalogue db.db2, which is the catalogue in use. Message boxes are answered from a
// script and the hand-over to other windows is recorded.
class NewDiscTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tree.addFile(QStringLiteral("discD/DCIM/IMG_0001.JPG"), "jpeg");
        tree.addFile(QStringLiteral("discD/readme.txt"), "text");
        tree.addFolder(QStringLiteral("discE"));
        tree.addFolder(QStringLiteral("discF"));
        tree.addFolder(QStringLiteral("app"));
        ASSERT_FALSE(catalogue::createEmptyCatalogue(catalogueFile()));
        system::setApplicationFolderOverride(tree.path(QStringLiteral("app")));
        windows.showMain = [this] { ++mainShown; };
        state.DBPath = catalogueFile();
        form = std::make_unique<Form2>(state, windows, [this] { return currentDrives(); });
    }

    void TearDown() override
    {
        form.reset();
        system::setApplicationFolderOverride({});
        EXPECT_FALSE(dialogs.failed()) << dialogs.failures().toStdString();
    }

    drives::DriveMap currentDrives()
    {
        ++driveReads;
        QByteArray table = "22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
                           "36 22 11:0 / " +
                           tree.path(QStringLiteral("discD")).toUtf8() +
                           " ro,relatime shared:2 - iso9660 /dev/sr0 ro\n"
                           "37 22 11:1 / " +
                           tree.path(QStringLiteral("discE")).toUtf8() +
                           " ro,relatime shared:3 - iso9660 /dev/sr1 ro\n";
        if (discInDriveF)
            table += "38 22 11:2 / " + tree.path(QStringLiteral("discF")).toUtf8() +
                     " ro,relatime shared:4 - iso9660 /dev/sr2 ro\n";
        drives::FixedVolumeSource source(table);
        source.addOpticalDevice(QStringLiteral("/dev/sr0"), QStringLiteral("11:0"));
        source.addOpticalDevice(QStringLiteral("/dev/sr1"), QStringLiteral("11:1"));
        source.addOpticalDevice(QStringLiteral("/dev/sr2"), QStringLiteral("11:2"));
        source.setLabel(QStringLiteral("/dev/sr0"), QStringLiteral("PHOTOS_2004"));
        source.setLabel(QStringLiteral("/dev/sr2"), QStringLiteral("NEW_DISC"));
        return drives::DriveMap(source);
    }

    QString catalogueFile() const { return tree.path(QStringLiteral("app/db.db2")); }
    QString settingsFile() const { return tree.path(QStringLiteral("app/settings.ini")); }

    // The drive form of a folder of the tree on C:, as typed: "C:\tmp\...\data\Music".
    QString driveFormOf(const QString& relative) const
    {
        QString text = QStringLiteral("C:") + tree.path(relative);
        text.replace(QLatin1Char('/'), QLatin1Char('\\'));
        return text;
    }
    // The form the picker stores and hands back: capitals and a final backslash.
    QString storedFormOf(const QString& relative) const
    {
        return driveFormOf(relative).toUpper() + QLatin1Char('\\');
    }

    void writeSetting(const QString& key, const QString& value)
    {
        ASSERT_TRUE(system::WriteINI(settingsFile(), QStringLiteral("Paths"), key, value));
    }
    QString setting(const QString& key) const
    {
        return system::ReadINI(settingsFile(), QStringLiteral("Paths"), key,
                               QStringLiteral("(none)"));
    }

    // Loads the new-disc window and shows it as the program does.
    void open() { form->showLoaded(); }

    // Ticks Check1 and types a path into the path box.
    void typePath(const QString& path)
    {
        if (!form->Check1->isChecked())
            QTest::mouseClick(form->Check1, Qt::LeftButton);
        form->txtPath->selectAll();
        QTest::keyClicks(form->txtPath, path);
    }
    void typeTitle(const QString& title)
    {
        form->txtName->clear();
        QTest::keyClicks(form->txtName, title);
    }
    void clickGo() { QTest::mouseClick(form->cmdGo, Qt::LeftButton); }

    // The whole catalogue as text, read from the file afresh: rows, discs and totals.
    static QStringList snapshotOf(const QString& file)
    {
        QStringList lines;
        sql::SqlError error;
        auto db = sql::Database::open(file, &error);
        EXPECT_TRUE(db) << error.message.toStdString();
        if (!db)
            return lines;
        for (const QString& table : {u"CDS"_qs, u"TOTAL"_qs, u"TOTALS"_qs}) {
            auto rows = db->prepare(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                                        .arg(platterly::test::snapshotFields(table), table),
                                    &error);
            while (rows && rows->step() == sql::Statement::Step::Row) {
                QStringList cells;
                for (int i = 0; i < rows->columnCount(); ++i)
                    cells.append(rows->value(i).toString());
                lines.append(table + QLatin1Char('|') + cells.join(QLatin1Char('|')));
            }
        }
        return lines;
    }
    QStringList snapshot() const { return snapshotOf(catalogueFile()); }

    TempTree tree;
    ui::ScriptedDialogs dialogs;
    ui::DialogsOverride dialogsOverride{dialogs};
    handover::ProgramState state;
    handover::Windows windows;
    std::unique_ptr<Form2> form;
    int mainShown = 0;
    int driveReads = 0;
    bool discInDriveF = false;
};

// Makes the process's current folder `folder` for the life of the guard.
class CurrentFolderGuard
{
public:
    explicit CurrentFolderGuard(const QString& folder) : m_old(QDir::currentPath())
    {
        QDir::setCurrent(folder);
    }
    ~CurrentFolderGuard() { QDir::setCurrent(m_old); }
    CurrentFolderGuard(const CurrentFolderGuard&) = delete;
    CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;

private:
    QString m_old;
};

} // namespace platterly::cataloguing::test
