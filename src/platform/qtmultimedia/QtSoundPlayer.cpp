#include "QtSoundPlayer.h"

#include <QApplication>
#include <QAudioOutput>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QUrl>
#include <QtEndian>

#include <optional>

std::optional<qint64> QtSoundPlayer::waveDurationMs(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = file.read(12);
    if (head.size() != 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return std::nullopt;
    quint32 byteRate = 0;
    // Walk the chunks; a hostile file can only make us stop early.
    for (int chunks = 0; chunks < 64; ++chunks) {
        const QByteArray header = file.read(8);
        if (header.size() != 8)
            return std::nullopt;
        const quint32 size = qFromLittleEndian<quint32>(header.constData() + 4);
        if (header.startsWith("fmt ")) {
            const QByteArray format = file.read(qMin<quint32>(size, 16));
            if (format.size() < 16)
                return std::nullopt;
            const quint16 encoding = qFromLittleEndian<quint16>(format.constData());
            byteRate = qFromLittleEndian<quint32>(format.constData() + 8);
            if ((encoding != 1 && encoding != 3 && encoding != 0xFFFE) || byteRate == 0)
                return std::nullopt;
            if (!file.seek(file.pos() + (size - qMin<quint32>(size, 16)) + (size & 1)))
                return std::nullopt;
        } else if (header.startsWith("data")) {
            if (byteRate == 0)
                return std::nullopt;
            const qint64 available = qMin<qint64>(size, file.size() - file.pos());
            return available * 1000 / byteRate;
        } else if (!file.seek(file.pos() + size + (size & 1))) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

namespace {

class EffectClip : public SoundClip {
public:
    EffectClip(const QString& path, qint64 durationMs)
        : m_durationMs(durationMs)
    {
        m_effect.setSource(path.startsWith(QLatin1String(":/")) ? QUrl(QStringLiteral("qrc") + path)
                                                                : QUrl::fromLocalFile(path));
    }

    bool isPlaying() const override
    {
        // Without an audio device QSoundEffect may never report playing; the
        // clip's own length still marks the time a new request must be dropped.
        return m_effect.isPlaying() || (m_started.isValid() && m_started.elapsed() < m_durationMs);
    }
    void setVolume(float volume) override { m_effect.setVolume(qBound(0.0f, volume, 1.0f)); }
    void play() override
    {
        m_started.start();
        m_effect.play();
    }

private:
    QSoundEffect m_effect;
    QElapsedTimer m_started;
    qint64 m_durationMs;
};

} // namespace

QtSoundPlayer::QtSoundPlayer(QObject* parent)
    : QtSoundPlayer(QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation), parent)
{
}

QtSoundPlayer::QtSoundPlayer(const QStringList& dataDirectories, QObject* parent)
    : SoundPlayer(parent)
    , m_dataDirectories(dataDirectories)
{
}

QtSoundPlayer::~QtSoundPlayer() = default;

std::unique_ptr<SoundClip> QtSoundPlayer::load(const QString& path)
{
    const auto duration = waveDurationMs(path);
    if (!duration)
        return nullptr;
    return std::make_unique<EffectClip>(path, *duration);
}

QString QtSoundPlayer::themeSound(const QString& name, const QStringList& extensions) const
{
    // Only plain event names: a name never reaches outside the theme directories.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.')))
        return {};
    for (const QString& directory : m_dataDirectories) {
        for (const QString& extension : extensions) {
            const QString path =
                directory + QStringLiteral("/sounds/freedesktop/stereo/") + name + QLatin1Char('.') + extension;
            if (QFileInfo(path).isFile())
                return path;
        }
    }
    return {};
}

std::unique_ptr<SoundClip> QtSoundPlayer::loadSystemSound(const QString& name)
{
    const QString path = themeSound(name.toLower(), {QStringLiteral("wav")});
    return path.isEmpty() ? nullptr : load(path);
}

void QtSoundPlayer::playAlert()
{
    const QString bell =
        themeSound(QStringLiteral("bell"), {QStringLiteral("oga"), QStringLiteral("ogg"), QStringLiteral("wav")});
    if (bell.isEmpty()) {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()))
            QApplication::beep();
        return;
    }
    if (!m_alertPlayer) {
        m_alertPlayer = new QMediaPlayer(this);
        m_alertOutput = new QAudioOutput(this);
        m_alertPlayer->setAudioOutput(m_alertOutput);
        m_alertPlayer->setSource(QUrl::fromLocalFile(bell));
    }
    // The media player decodes and plays on its own threads.
    m_alertPlayer->setPosition(0);
    m_alertPlayer->play();
}
