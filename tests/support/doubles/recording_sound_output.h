#pragma once

#include "platform/ui/sound_player.h"
#include "support/doubles/service_override.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace platterly::ui {

// A sound output for tests: records what would have been heard and plays nothing. It keeps
// the one-at-a-time rule of a real output, so a test can ask what is playing now.
class RecordingSoundOutput final : public SoundOutput
{
public:
    struct Event
    {
        enum class Kind
        {
            Play,
            Stop,
            Beep,
        };
        Kind kind;
        // The file of a Play; empty otherwise.
        QString path;
        bool operator==(const Event&) const = default;
    };

    void play(const QString& path) override;
    void stop() override;
    void beep() override;

    // Everything asked of the output, in order.
    const std::vector<Event>& events() const { return m_events; }
    // The files played, in order.
    QStringList played() const;
    // How many times the default sound was asked for.
    int beeps() const;
    // The file playing now: the last one played unless a stop or a beep came after it.
    QString playing() const { return m_playing; }
    void clear();

private:
    std::vector<Event> m_events;
    QString m_playing;
};

// Installs a sound output for the life of the guard.
using SoundOutputOverride = ServiceOverride<SoundOutput, &setSoundOutput>;

} // namespace platterly::ui
