#include "platform/ui/effect_sound_output.h"

#include <QApplication>
#include <QSoundEffect>
#include <QUrl>

namespace platterly::ui {

EffectSoundOutput::EffectSoundOutput(QObject* parent) : QObject(parent) {}

EffectSoundOutput::~EffectSoundOutput() = default;

void EffectSoundOutput::play(const QString& path)
{
    QSoundEffect& sound = effect();
    sound.stop();
    // Setting the same source again does not reload it: a sound played twice in a row
    // restarts through play() alone. A source that failed to load is reloaded, so that each
    // play of a broken file beeps, and a file mended meanwhile plays.
    const QUrl url = QUrl::fromLocalFile(path);
    if (sound.source() == url && sound.status() == QSoundEffect::Error)
        sound.setSource(QUrl());
    if (sound.source() != url)
        sound.setSource(url);
    sound.play();
}

void EffectSoundOutput::stop()
{
    if (m_effect)
        m_effect->stop();
}

void EffectSoundOutput::beep()
{
    QApplication::beep();
}

EffectSoundOutput::Status EffectSoundOutput::status() const
{
    if (!m_effect)
        return Status::Idle;
    switch (m_effect->status()) {
    case QSoundEffect::Null:
        return Status::Idle;
    case QSoundEffect::Loading:
        return Status::Loading;
    case QSoundEffect::Ready:
        return Status::Ready;
    case QSoundEffect::Error:
        return Status::Failed;
    }
    return Status::Failed;
}

QSoundEffect& EffectSoundOutput::effect()
{
    if (!m_effect) {
        m_effect = std::make_unique<QSoundEffect>();
        connect(m_effect.get(), &QSoundEffect::statusChanged, this,
                &EffectSoundOutput::onEffectStatusChanged);
    }
    return *m_effect;
}

void EffectSoundOutput::onEffectStatusChanged()
{
    if (m_effect && m_effect->status() == QSoundEffect::Error)
        beep();
    Q_EMIT statusChanged();
}

} // namespace platterly::ui
