#include "support/doubles/recording_sound_output.h"

#include <algorithm>

namespace platterly::ui {

void RecordingSoundOutput::play(const QString& path)
{
    m_events.push_back({Event::Kind::Play, path});
    m_playing = path;
}

void RecordingSoundOutput::stop()
{
    m_events.push_back({Event::Kind::Stop, {}});
    m_playing.clear();
}

void RecordingSoundOutput::beep()
{
    m_events.push_back({Event::Kind::Beep, {}});
    // The default sound takes the one place there is for a sound.
    m_playing.clear();
}

QStringList RecordingSoundOutput::played() const
{
    QStringList paths;
    for (const Event& event : m_events)
        if (event.kind == Event::Kind::Play)
            paths.append(event.path);
    return paths;
}

int RecordingSoundOutput::beeps() const
{
    return static_cast<int>(std::count_if(m_events.begin(), m_events.end(), [](const Event& e) {
        return e.kind == Event::Kind::Beep;
    }));
}

void RecordingSoundOutput::clear()
{
    m_events.clear();
    m_playing.clear();
}

} // namespace platterly::ui
