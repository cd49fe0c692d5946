#pragma once

#include "platform/handover/program_state.h"
#include "platform/handover/windows.h"
#include "platform/system/application_folder.h"
#include "platform/system/profile_file.h"
#include "platform/system/system_test_support.h"
#include "support/doubles/recording_sound_output.h"
#include "support/temp_tree.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace platterly::app::test {

using platterly::test::TempTree;

// What the windows of the program need around them: an application folder in a temporary
// tree holding the sounds, a sound output that records what would be heard, and the
// hand-over between windows replaced by recorders.
class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tree.addFile(QStringLiteral("app/db.db2"), "catalogue");
        for (const char* sound : {"qn", "click", "music"})
            tree.addFile(QStringLiteral("app/%1.qns").arg(QLatin1String(sound)), "RIFF");
        system::setApplicationFolderOverride(tree.path(QStringLiteral("app")));
        windows.showMain = [this] { shown.append(QStringLiteral("main")); };
        windows.showChooser = [this] { shown.append(QStringLiteral("chooser")); };
    }

    void TearDown() override { system::setApplicationFolderOverride({}); }

    void setOption(const char* key, const QString& value)
    {
        ASSERT_TRUE(system::WriteINI(tree.path(QStringLiteral("app/settings.ini")),
                                     QStringLiteral("Settings"), QLatin1String(key), value));
    }

    // The names of the sounds heard, in order: "qn" for the file app/qn.qns.
    QStringList soundsHeard() const
    {
        QStringList names;
        for (const QString& path : sounds.played()) {
            QString name = path;
            name.remove(tree.path(QStringLiteral("app/")));
            name.chop(4);
            names.append(name);
        }
        return names;
    }

    QString soundFile(const QString& name) const
    {
        return tree.path(QStringLiteral("app/%1.qns").arg(name));
    }

    TempTree tree;
    ui::RecordingSoundOutput sounds;
    ui::SoundOutputOverride soundOverride{sounds};
    handover::ProgramState state;
    handover::Windows windows;
    // The windows shown through the hand-over, in order: "main", "chooser".
    QStringList shown;
};

} // namespace platterly::app::test
