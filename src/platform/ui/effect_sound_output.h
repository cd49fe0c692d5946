#pragma once

#include "platform/ui/sound_player.h"

#include <QObject>
#include <memory>

class QSoundEffect;

namespace platterly::ui {

// Plays wave files with QSoundEffect. The file is loaded in the background: play() returns
// at once and the sound starts when it is loaded. A file that turns out not to be a sound
// the effect can play gives QApplication::beep() once it has failed to load. Without an
// audio device nothing is heard, but nothing blocks either.
class EffectSoundOutput final : public QObject, public SoundOutput
{
    Q_OBJECT

public:
    enum class Status
    {
        // Nothing asked yet, or stopped.
        Idle,
        Loading,
        // Loaded; playing, or played to its end.
        Ready,
        // The file could not be loaded as a sound.
        Failed,
    };

    explicit EffectSoundOutput(QObject* parent = nullptr);
    ~EffectSoundOutput() override;

    void play(const QString& path) override;
    void stop() override;
    void beep() override;

    Status status() const;

Q_SIGNALS:
    // The status of the sound last asked for changed.
    void statusChanged();

private:
    void onEffectStatusChanged();

    // Made on first use: creating it opens the audio system, which a program that never
    // plays a sound should not pay for.
    QSoundEffect& effect();

    std::unique_ptr<QSoundEffect> m_effect;
};

} // namespace platterly::ui
