#pragma once

#include "platform/SoundPlayer.h"

#include <QStringList>

#include <optional>

class QAudioOutput;
class QMediaPlayer;

// Short sounds through Qt Multimedia's low-latency QSoundEffect (WAV only);
// the alert is the freedesktop sound theme's "bell" event, else the X bell.
class QtSoundPlayer : public SoundPlayer {
    Q_OBJECT
public:
    // `dataDirectories`: where sound themes are looked up (each holds
    // sounds/<theme>/stereo/); defaults to the XDG data directories.
    explicit QtSoundPlayer(QObject* parent = nullptr);
    QtSoundPlayer(const QStringList& dataDirectories, QObject* parent = nullptr);
    ~QtSoundPlayer() override;

    std::unique_ptr<SoundClip> load(const QString& path) override;
    std::unique_ptr<SoundClip> loadSystemSound(const QString& name) override;
    void playAlert() override;

    // The length of a PCM WAV file that QSoundEffect can play, in milliseconds;
    // nullopt for anything else.
    static std::optional<qint64> waveDurationMs(const QString& path);

    // The theme file for a sound event with one of these extensions, or "".
    QString themeSound(const QString& name, const QStringList& extensions) const;

private:
    QStringList m_dataDirectories;
    QMediaPlayer* m_alertPlayer = nullptr;
    QAudioOutput* m_alertOutput = nullptr;
};
