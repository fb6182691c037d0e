#pragma once

#include "platform/SoundPlayer.h"

#include <QStringList>

// Sounds held in memory. `playing` stands for a sound still audible; `events`
// records "load <path>", "system <name>", "play <volume>" and "alert".
class FakeSoundPlayer : public SoundPlayer {
    Q_OBJECT
public:
    class Clip : public SoundClip {
    public:
        explicit Clip(FakeSoundPlayer& owner) : m_owner(owner) {}
        bool isPlaying() const override { return m_owner.playing; }
        void setVolume(float volume) override { m_volume = volume; }
        void play() override
        {
            m_owner.events.append(QStringLiteral("play %1").arg(m_volume));
            m_owner.playing = true;
        }

    private:
        FakeSoundPlayer& m_owner;
        float m_volume = 1.0f;
    };

    std::unique_ptr<SoundClip> load(const QString& path) override
    {
        events.append(QStringLiteral("load ") + path);
        return loadable ? std::make_unique<Clip>(*this) : nullptr;
    }
    std::unique_ptr<SoundClip> loadSystemSound(const QString& name) override
    {
        events.append(QStringLiteral("system ") + name);
        return hasSystemSound ? std::make_unique<Clip>(*this) : nullptr;
    }
    void playAlert() override { events.append(QStringLiteral("alert")); }

    bool loadable = true;
    bool hasSystemSound = false;
    bool playing = false;
    QStringList events;
};
