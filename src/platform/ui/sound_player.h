#pragma once

#include <QString>

namespace platterly::ui {

// Where sounds end up. The program plays through EffectSoundOutput (Qt Multimedia); tests
// install a RecordingSoundOutput, so they need no sound card and hear nothing.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;

    // Starts playing the wave file at `path` and returns at once. A file the output cannot
    // play gives the default sound instead.
    virtual void play(const QString& path) = 0;
    // Stops the sound playing, if any.
    virtual void stop() = 0;
    // The desktop's default sound.
    virtual void beep() = 0;
};

// The output the program uses now: the one installed with setSoundOutput(), or else the
// real one.
SoundOutput& soundOutput();

// Installs `replacement` as the process-wide output (nullptr goes back to the real one) and
// returns the one installed before (nullptr for the real one). The caller keeps ownership.
SoundOutput* setSoundOutput(SoundOutput* replacement);

// Plays the program's sounds by name: the file application folder + "/" + name + ".qns",
// which holds a wave sound. One sound at a time: a new sound cuts off the one playing.
// play() returns at once. A sound whose file is missing or cannot be read gives the
// desktop's default sound, as the platform does for a sound it cannot find.
class SoundPlayer
{
public:
    // Plays through soundOutput() from the application folder.
    SoundPlayer() = default;
    // Plays through `output` from `folder`, which need not be the application folder.
    SoundPlayer(SoundOutput& output, QString folder);

    void play(const QString& name) const;

    // The file that play(name) plays.
    QString pathFor(const QString& name) const;

private:
    SoundOutput& output() const;

    // Null for the process-wide output, looked up at each call so a test can swap it.
    SoundOutput* m_output = nullptr;
    // Empty for the application folder.
    QString m_folder;
};

} // namespace platterly::ui
