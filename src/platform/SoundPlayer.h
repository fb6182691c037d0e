#pragma once

#include <QObject>
#include <QString>

#include <memory>

// One loaded sound, played without blocking.
class SoundClip {
public:
    virtual ~SoundClip() = default;
    // True from play() until the sound has finished.
    virtual bool isPlaying() const = 0;
    // 0.0 to 1.0; applies to the next play().
    virtual void setVolume(float volume) = 0;
    // Starts playback and returns at once.
    virtual void play() = 0;
};

// The desktop's audio output for short sounds. Main thread only.
class SoundPlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SoundPlayer() override = default;

    // A sound file (a path or a ":/" resource); null when it is missing or
    // cannot be played.
    virtual std::unique_ptr<SoundClip> load(const QString& path) = 0;
    // A sound of the desktop's sound theme, by event name; null when the theme has none.
    virtual std::unique_ptr<SoundClip> loadSystemSound(const QString& name) = 0;
    // The desktop's short alert sound at system volume, or the system beep
    // where the desktop has no alert sound.
    virtual void playAlert() = 0;
};
