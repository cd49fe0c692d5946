#include "platform/system/application_folder.h"
#include "platform/ui/effect_sound_output.h"
#include "platform/ui/ui_test_support.h"
#include "support/doubles/recording_sound_output.h"
#include "support/temp_tree.h"

#include <QtEndian>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::ui {
namespace {

using Event = RecordingSoundOutput::Event;
using test::TempTree;

// A short PCM wave sound: 8 kHz, mono, 16 bits, a tenth of a second of silence.
QByteArray waveFile()
{
    auto little = [](quint32 value, int bytes) {
        char b[4];
        qToLittleEndian(value, b);
        return QByteArray(b, bytes);
    };
    const QByteArray samples(1600, '\0');
    return "RIFF" + little(36 + samples.size(), 4) + "WAVEfmt " + little(16, 4) + little(1, 2) +
           little(1, 2) + little(8000, 4) + little(16000, 4) + little(2, 2) + little(16, 2) +
           "data" + little(samples.size(), 4) + samples;
}

TEST(SoundPlayer, ANewSoundCutsOffTheOnePlayingAndAMissingOneGivesTheDefaultSound)
{
    TempTree folder;
    folder.addFile(u"music.qns"_s, waveFile());
    // A folder where the sound file should be cannot be played either.
    folder.addFolder(u"qn.qns"_s);
    RecordingSoundOutput output;
    const SoundPlayer player(output, folder.root());

    player.play(u"music"_s);
    player.play(u"qn"_s);
    // Names are taken as they are: "Music" asks for Music.qns, which is not music.qns.
    player.play(u"Music"_s);

    const QString music = folder.path(u"music.qns"_s);
    const std::vector<Event> expected = {{Event::Kind::Stop, {}}, {Event::Kind::Play, music},
                                         {Event::Kind::Stop, {}}, {Event::Kind::Beep, {}},
                                         {Event::Kind::Stop, {}}, {Event::Kind::Beep, {}}};
    EXPECT_EQ(output.events(), expected);
    EXPECT_TRUE(output.playing().isEmpty());
}

TEST(SoundPlayer, TheDefaultPlayerUsesTheApplicationFolderAndTheInstalledOutput)
{
    TempTree folder;
    folder.addFile(u"qn.qns"_s, waveFile());
    system::setApplicationFolderOverride(folder.root());
    RecordingSoundOutput output;
    {
        SoundOutputOverride installed(output);
        EXPECT_EQ(&soundOutput(), &output);
        SoundPlayer().play(u"qn"_s);
    }
    system::setApplicationFolderOverride({});
    // Without a replacement the sounds go to the real audio output.
    EXPECT_NE(dynamic_cast<EffectSoundOutput*>(&soundOutput()), nullptr);
    EXPECT_EQ(output.played(), QStringList{folder.path(u"qn.qns"_s)});
}

} // namespace
} // namespace platterly::ui
