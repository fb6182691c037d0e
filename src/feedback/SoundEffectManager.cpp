#include "SoundEffectManager.h"

#include "base/Logger.h"
#include "base/PreferenceKeys.h"
#include "base/Preferences.h"
#include "platform/Platform.h"
#include "platform/SoundPlayer.h"

#include <QFileInfo>
#include <QTimer>

#include <algorithm>

SoundEffectManager& SoundEffectManager::shared()
{
    static auto* instance = new SoundEffectManager(Platform::instance().soundPlayer());
    return *instance;
}

SoundEffectManager::SoundEffectManager(SoundPlayer* player, const QString& resourceDirectory, QObject* parent)
    : QObject(parent)
    , m_player(player)
{
    load(resourceDirectory);
}

SoundEffectManager::~SoundEffectManager() = default;

bool SoundEffectManager::isEnabled() const
{
    return Preferences::boolValue(PreferenceKeys::soundEnabled);
}

double SoundEffectManager::volume() const
{
    return std::clamp(Preferences::doubleValue(PreferenceKeys::soundVolume), 0.0, 1.0);
}

void SoundEffectManager::load(const QString& resourceDirectory)
{
    if (!m_player)
        return;
    // WAV is what the low-latency player decodes; the other names are looked up too.
    QString found;
    for (const char* extension : {"aiff", "mp3", "wav"}) {
        const QString path = resourceDirectory + QStringLiteral("/Pop.") + QLatin1String(extension);
        if (QFileInfo::exists(path)) {
            found = path;
            break;
        }
    }
    // A file that exists but does not load is not replaced by the theme's sound.
    m_sound = found.isEmpty() ? m_player->loadSystemSound(QStringLiteral("Pop")) : m_player->load(found);
    if (!m_sound) {
        m_useFallback = true;
        Logger::shared().info(QStringLiteral("NSSound failed to load, using AudioServices fallback"));
    }
}

void SoundEffectManager::playSwitchSound()
{
    QTimer::singleShot(0, this, [self = QPointer<SoundEffectManager>(this)] {
        if (!self || !self->isEnabled())
            return;
        self->play();
    });
}

void SoundEffectManager::play()
{
    if (!m_player)
        return;
    if (m_useFallback) {
        m_player->playAlert();
        return;
    }
    if (!m_sound || m_sound->isPlaying())
        return;
    m_sound->setVolume(static_cast<float>(volume()));
    m_sound->play();
}
