#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class SoundClip;
class SoundPlayer;

// Plays the short switch sound: loaded once, never overlapping itself (a
// request while it still plays is dropped), at the volume in "soundVolume",
// only while "soundEnabled" is on (absent: on). When no sound can be loaded
// every play is the desktop's alert sound instead.
class SoundEffectManager : public QObject {
    Q_OBJECT
public:
    static SoundEffectManager& shared();

    // Loads "Pop" (.aiff, .mp3 or .wav) from `resourceDirectory`, else the
    // sound theme's "Pop". A null player plays nothing.
    explicit SoundEffectManager(SoundPlayer* player, const QString& resourceDirectory = QStringLiteral(":/sounds"),
                                QObject* parent = nullptr);
    ~SoundEffectManager() override;

    // Returns at once; the play happens from the event loop.
    void playSwitchSound();

    bool isEnabled() const;
    // The stored "soundVolume" held to 0 to 1 (0.5 when absent or not a number).
    double volume() const;

private:
    void load(const QString& resourceDirectory);
    void play();

    QPointer<SoundPlayer> m_player;
    std::unique_ptr<SoundClip> m_sound;
    bool m_useFallback = false;
};
