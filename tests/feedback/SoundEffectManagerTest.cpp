#include "support/RecordingLogSink.h"
#include "support/TestMain.h"

#include "base/Preferences.h"
#include "feedback/SoundEffectManager.h"
#include "platform/qtmultimedia/QtSoundPlayer.h"

namespace {

// Sounds held in memory. `playing` stands for a sound still audible; `events`
// records "play <volume>" and "alert"; the theme has no sound.
struct FakeSoundPlayer : SoundPlayer {
    struct Clip : SoundClip {
        explicit Clip(FakeSoundPlayer& owner)
            : owner(owner)
        {
        }
        bool isPlaying() const override { return owner.playing; }
        void setVolume(float value) override { volume = value; }
        void play() override
        {
            owner.events.append(QStringLiteral("play %1").arg(volume));
            owner.playing = true;
        }
        FakeSoundPlayer& owner;
        float volume = 1.0f;
    };

    std::unique_ptr<SoundClip> load(const QString&) override { return std::make_unique<Clip>(*this); }
    std::unique_ptr<SoundClip> loadSystemSound(const QString&) override { return nullptr; }
    void playAlert() override { events.append(QStringLiteral("alert")); }

    bool playing = false;
    QStringList events;
};

} // namespace

class SoundEffectManagerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The preferences are read at each play; a request while the sound plays is
    // dropped; the fallback alert sounds every time, and its cause is logged once.
    void plays_data()
    {
        QTest::addColumn<bool>("shipped"); // else no sound loads at all
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QStringList>("plays"); // for two requests at once
        QTest::newRow("at the volume") << true << true << QStringList{"play 0.3"};
        QTest::newRow("switched off") << true << false << QStringList{};
        QTest::newRow("no sound: alert") << false << true << QStringList{"alert", "alert"};
    }
    void plays()
    {
        QFETCH(bool, shipped);
        QFETCH(bool, enabled);
        QFETCH(QStringList, plays);
        FakeSoundPlayer player;
        RecordingLogSink log;
        SoundEffectManager manager(&player, shipped ? QStringLiteral(":/sounds") : QStringLiteral(":/none"));
        Preferences::setValue(QStringLiteral("soundEnabled"), enabled);
        Preferences::setValue(QStringLiteral("soundVolume"), 0.3);
        manager.playSwitchSound();
        manager.playSwitchSound();
        QVERIFY(player.events.isEmpty()); // queued, never played in the caller
        QTest::qWait(20);
        QCOMPARE(player.events, plays);
        QCOMPARE(log.lines().count(QStringLiteral("info: NSSound failed to load, using AudioServices fallback")),
                 shipped ? 0 : 1);
        player.playing = false; // finished
        manager.playSwitchSound();
        QTRY_COMPARE(player.events, plays + (plays.isEmpty() ? QStringList() : QStringList{plays.last()}));
    }

    void onlyPlayableWaveFilesLoad_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("playable");
        QFile shipped(QStringLiteral(":/sounds/Pop.wav"));
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        QTest::newRow("the shipped sound") << shipped.readAll() << true;
        QTest::newRow("data before fmt") << QByteArray("RIFF\x20\x00\x00\x00WAVEdata\x04\x00\x00\x00\x01\x02\x03\x04",
                                                       24)
                                         << false;
        QTest::newRow("chunk size past the end")
            << QByteArray("RIFF\x20\x00\x00\x00WAVEjunk\xff\xff\xff\x7f", 20) << false;
        QTest::newRow("compressed format")
            << QByteArray("RIFF\x30\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x55\x00\x01\x00\x44\xac\x00\x00"
                          "\x88\x58\x01\x00\x02\x00\x10\x00"
                          "data\x00\x00\x00\x00",
                          44)
            << false;
    }
    void onlyPlayableWaveFilesLoad()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, playable);
        QTemporaryFile file;
        QVERIFY(file.open() && file.write(bytes) == bytes.size() && file.flush());
        // The header alone decides; loading a QSoundEffect here would leave Qt's
        // sample cache thread racing the test's exit.
        const auto duration = QtSoundPlayer::waveDurationMs(file.fileName());
        QCOMPARE(duration.has_value(), playable);
        if (playable)
            QVERIFY(*duration > 0);
    }
};

TOLVANE_TEST_GUILESS_MAIN(SoundEffectManagerTest)
#include "SoundEffectManagerTest.moc"
