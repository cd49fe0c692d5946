#include "platform/ui/sound_player.h"

#include "platform/system/application_folder.h"
#include "platform/ui/effect_sound_output.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <utility>

namespace platterly::ui {

namespace {

SoundOutput* g_installed = nullptr;

// The real output belongs to the application object, so its audio objects are gone before
// Qt shuts down rather than torn down by static destruction after it.
SoundOutput& realOutput()
{
    static QPointer<EffectSoundOutput> instance;
    if (!instance)
        instance = new EffectSoundOutput(QCoreApplication::instance());
    return *instance;
}

// Opening the file is the only sure test that this process may read it: permissions,
// access control lists and a disc that has gone all show here.
bool readableFile(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

} // namespace

SoundOutput& soundOutput()
{
    return g_installed ? *g_installed : realOutput();
}

SoundOutput* setSoundOutput(SoundOutput* replacement)
{
    return std::exchange(g_installed, replacement);
}

SoundPlayer::SoundPlayer(SoundOutput& output, QString folder)
    : m_output(&output), m_folder(std::move(folder))
{
}

QString SoundPlayer::pathFor(const QString& name) const
{
    const QString fileName = name + QStringLiteral(".qns");
    return m_folder.isEmpty() ? system::appFile(fileName) : m_folder + QLatin1Char('/') + fileName;
}

void SoundPlayer::play(const QString& name) const
{
    SoundOutput& out = output();
    const QString path = pathFor(name);
    // The default sound takes the place of the missing one, so it too cuts off the sound
    // that was playing.
    out.stop();
    if (readableFile(path))
        out.play(path);
    else
        out.beep();
}

SoundOutput& SoundPlayer::output() const
{
    return m_output ? *m_output : soundOutput();
}

} // namespace platterly::ui
