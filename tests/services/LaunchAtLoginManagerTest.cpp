#include "services/LaunchAtLoginManager.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"
#include "support/RecordingLogSink.h"
#include "support/TestFiles.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using tolvane::test::readFile;
using tolvane::test::writeFile;

class LaunchAtLoginManagerTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    QString autostart() const { return m_dir->filePath(QStringLiteral("config/autostart")); }
    QString entry() const { return autostart() + QStringLiteral("/tolvane.desktop"); }

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void startsFromTheEntryOnDisk_data()
    {
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("entry") << QByteArray("[Desktop Entry]\nType=Application\nExec=/old/tolvane\n") << true;
        QTest::newRow("hidden entry") << QByteArray("[Desktop Entry]\nType=Application\nExec=/x\nHidden=true\n")
                                      << false;
        QTest::newRow("switched off in GNOME")
            << QByteArray("[Desktop Entry]\nType=Application\nExec=/x\nX-GNOME-Autostart-enabled=false\n") << false;
    }

    void startsFromTheEntryOnDisk()
    {
        QFETCH(QByteArray, existing);
        QFETCH(bool, enabled);
        QVERIFY(QDir().mkpath(autostart()));
        QVERIFY(writeFile(entry(), existing));
        const QString program = QStringLiteral("/opt/My Apps/100%/a\\b/$HOME/`x`/\"q\"/c\nd\te/tolvane");
        XdgAutostartLoginItem item(autostart(), program);
        RecordingLogSink log;
        LaunchAtLoginManager manager(&item);
        QCOMPARE(manager.isEnabled(), enabled);
        QCOMPARE(manager.lastError(), QString());
        QCOMPARE(log.lines(),
                 QStringList{enabled ? "info: Launch at Login enabled" : "info: Launch at Login disabled"});
        // Applied once: an enabled entry now starts this program, anything else is gone.
        QCOMPARE(QFile::exists(entry()), enabled);
        QCOMPARE(item.isRegistered(), enabled);
        if (!enabled) {
            // Turning it on writes an entry that every desktop starts.
            manager.setEnabled(true);
            QVERIFY(item.isRegistered());
            QVERIFY(!readFile(entry()).contains("Hidden=true"));
            QVERIFY(!readFile(entry()).contains("X-GNOME-Autostart-enabled=false"));
            return;
        }
        const QByteArray written = readFile(entry());
        QVERIFY(written.startsWith("[Desktop Entry]\n"));
        QVERIFY(written.contains("\nType=Application\n"));
        // Quoting escapes " ` $ \ and doubles %; the string escapes then double
        // every backslash and spell line breaks and tabs.
        const QByteArray exec = R"(Exec="/opt/My Apps/100%%/a\\\\b/\\$HOME/\\`x\\`/\\"q\\"/c\nd\te/tolvane")";
        QVERIFY2(written.contains("\n" + exec + "\n"), written.constData());
    }

    // By default the entry lives under XDG_CONFIG_HOME and starts the running program.
    void togglingWritesAndRemovesTheEntry()
    {
        XdgAutostartLoginItem item;
        QCOMPARE(item.entryPath(), QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/autostart/tolvane.desktop");
        QFile::remove(item.entryPath());
        LaunchAtLoginManager manager(&item);
        manager.setEnabled(true);
        const QString program = QCoreApplication::applicationFilePath();
        QVERIFY(QFileInfo(program).isAbsolute());
        QVERIFY(readFile(item.entryPath())
                    .contains("\nExec=" + XdgAutostartLoginItem::quotedExecArgument(program).toUtf8()));
        manager.setEnabled(false);
        QVERIFY(!QFile::exists(item.entryPath()));
        QCOMPARE(manager.lastError(), QString());
    }

    // A failure shows its message and then what the system has, without
    // trying again the other way (which could fail too, and alternate).
    void failureShowsTheErrorAndTheRealState()
    {
        // A regular file where the autostart directory belongs: nothing can be
        // written below it, even by root.
        QVERIFY(QDir().mkpath(QFileInfo(autostart()).path()));
        QVERIFY(writeFile(autostart(), "not a directory"));
        XdgAutostartLoginItem item(autostart(), QStringLiteral("/usr/bin/tolvane"));
        LaunchAtLoginManager manager(&item);
        QCOMPARE(manager.lastError(), QString()); // removing an absent entry succeeds
        RecordingLogSink log;

        manager.setEnabled(true);
        QVERIFY2(manager.lastError().startsWith("Could not update the autostart entry: "),
                 qPrintable(manager.lastError()));
        QCOMPARE(manager.isEnabled(), true); // the correction comes from the main queue
        QTRY_COMPARE(manager.isEnabled(), false);
        QCoreApplication::processEvents();
        QCOMPARE(log.lines().size(), 1);
        QVERIFY(log.lines().first().startsWith("error: Failed to update Launch at Login: Could not update"));
        QCOMPARE(readFile(autostart()), QByteArray("not a directory"));
    }
};

TOLVANE_TEST_GUILESS_MAIN(LaunchAtLoginManagerTest)
#include "LaunchAtLoginManagerTest.moc"
