#include "support/RecordingLogSink.h"
#include "support/TestMain.h"

#include "FakeSoundPlayer.h"

#include "core/Preferences.h"
#include "feedback/SoundEffectManager.h"
#include "platform/qtmultimedia/QtSoundPlayer.h"

#include <QTemporaryDir>

namespace {
bool writeFile(const QString& path, const QByteArray& bytes = {})
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const QString kFallbackLine = QStringLiteral("info: NSSound failed to load, using AudioServices fallback");
}

class SoundEffectManagerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        Preferences::remove(QStringLiteral("soundEnabled"));
        Preferences::remove(QStringLiteral("soundVolume"));
    }

    // The preferences are read at each play, not when the manager is made.
    void enabledAndVolume_data()
    {
        QTest::addColumn<QVariant>("enabled");
        QTest::addColumn<QVariant>("volume");
        QTest::addColumn<QStringList>("plays");
        QTest::newRow("absent keys: on, at 0.5") << QVariant() << QVariant() << QStringList{"play 0.5"};
        QTest::newRow("volume 0.3") << QVariant(true) << QVariant(0.3) << QStringList{"play 0.3"};
        QTest::newRow("switched off") << QVariant(false) << QVariant(0.3) << QStringList{};
    }
    void enabledAndVolume()
    {
        QFETCH(QVariant, enabled);
        QFETCH(QVariant, volume);
        QFETCH(QStringList, plays);
        FakeSoundPlayer player;
        SoundEffectManager manager(&player);
        player.events.clear();
        if (enabled.isValid())
            Preferences::setValue(QStringLiteral("soundEnabled"), enabled);
        if (volume.isValid())
            Preferences::setValue(QStringLiteral("soundVolume"), volume);
        manager.playSwitchSound();
        QVERIFY(player.events.isEmpty()); // queued, never played in the caller
        QTest::qWait(20);
        QCOMPARE(player.events, plays);
    }

    void lookup_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("loadable");
        QTest::addColumn<bool>("systemSound");
        QTest::addColumn<QString>("loaded"); // the load event, or "" for none
        QTest::addColumn<bool>("fallback");
        const QStringList all{"Pop.wav", "Pop.mp3", "Pop.aiff"};
        QTest::newRow("aiff first") << all << true << false << "load %1/Pop.aiff" << false;
        QTest::newRow("mp3 before wav") << all.mid(0, 2) << true << false << "load %1/Pop.mp3" << false;
        QTest::newRow("unreadable file: no theme sound")
            << QStringList{"Pop.wav"} << false << true << "load %1/Pop.wav" << true;
        QTest::newRow("no file: theme sound") << QStringList{} << true << true << "system Pop" << false;
        QTest::newRow("nothing at all") << QStringList{} << true << false << "system Pop" << true;
    }
    void lookup()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, loadable);
        QFETCH(bool, systemSound);
        QFETCH(QString, loaded);
        QFETCH(bool, fallback);
        QTemporaryDir dir;
        for (const QString& name : files)
            QVERIFY(writeFile(dir.filePath(name)));
        FakeSoundPlayer player;
        player.loadable = loadable;
        player.hasSystemSound = systemSound;
        RecordingLogSink log;
        SoundEffectManager manager(&player, dir.path());
        QCOMPARE(player.events, QStringList{loaded.arg(dir.path())});
        QCOMPARE(manager.useFallback(), fallback);

        // A request while the sound still plays is dropped; the fallback alert
        // sounds every time, and its cause is logged once.
        player.events.clear();
        manager.playSwitchSound();
        manager.playSwitchSound();
        QTest::qWait(20);
        QCOMPARE(player.events, (fallback ? QStringList{"alert", "alert"} : QStringList{"play 0.5"}));
        QCOMPARE(log.lines().count(kFallbackLine), fallback ? 1 : 0);
        player.playing = false; // finished
        manager.playSwitchSound();
        QTRY_COMPARE(player.events.size(), fallback ? 3 : 2);
    }

    void queuedPlayOfDeletedManagerDoesNothing()
    {
        FakeSoundPlayer player;
        auto* manager = new SoundEffectManager(&player);
        player.events.clear();
        manager->playSwitchSound();
        delete manager;
        QTest::qWait(20);
        QVERIFY(player.events.isEmpty());
    }

    void onlyPlayableWaveFilesLoad_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("playable");
        QFile shipped(QStringLiteral(":/sounds/Pop.wav"));
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        QTest::newRow("the shipped sound") << shipped.readAll() << true;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("not RIFF") << QByteArray("ID3\x03\x00\x00\x00\x00\x00\x00junkjunkjunk", 22) << false;
        QTest::newRow("RIFF, not WAVE") << QByteArray("RIFF\x10\x00\x00\x00" "AIFFxxxx", 16) << false;
        QTest::newRow("data before fmt")
            << QByteArray("RIFF\x20\x00\x00\x00WAVEdata\x04\x00\x00\x00\x01\x02\x03\x04", 24) << false;
        QTest::newRow("chunk size past the end")
            << QByteArray("RIFF\x20\x00\x00\x00WAVEjunk\xff\xff\xff\x7f", 20) << false;
        QTest::newRow("compressed format")
            << QByteArray("RIFF\x30\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x55\x00\x01\x00\x44\xac\x00\x00"
                          "\x88\x58\x01\x00\x02\x00\x10\x00" "data\x00\x00\x00\x00", 44)
            << false;
    }
    void onlyPlayableWaveFilesLoad()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, playable);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(QStringLiteral("Pop.wav")), bytes));
        QtSoundPlayer player(QStringList{});
        QCOMPARE(player.load(dir.filePath(QStringLiteral("Pop.wav"))) != nullptr, playable);
    }

    void themeSoundsStayInsideTheTheme()
    {
        QTemporaryDir data;
        QVERIFY(QDir().mkpath(data.filePath(QStringLiteral("sounds/freedesktop/stereo"))));
        const QString bell = data.filePath(QStringLiteral("sounds/freedesktop/stereo/bell.oga"));
        QVERIFY(writeFile(bell));
        QtSoundPlayer player(QStringList{data.path()});
        QCOMPARE(player.themeSound(QStringLiteral("bell"), {QStringLiteral("oga")}), bell);
        QCOMPARE(player.themeSound(QStringLiteral("../stereo/bell"), {QStringLiteral("oga")}), QString());
        QCOMPARE(player.themeSound(QStringLiteral("pop"), {QStringLiteral("wav")}), QString());
    }
};

TOLVANE_TEST_GUILESS_MAIN(SoundEffectManagerTest)
#include "SoundEffectManagerTest.moc"
