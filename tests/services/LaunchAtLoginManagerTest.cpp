#include "platform/LoginItemService.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"
#include "services/LaunchAtLoginManager.h"
#include "support/RecordingLogSink.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(contents) != contents.size())
        qFatal("cannot write %s", qPrintable(path));
}

// A login item service whose answers the test sets.
class FakeLoginItem : public LoginItemService {
public:
    bool isRegistered() override { return registered; }
    std::optional<QString> registerItem() override
    {
        calls.append(QStringLiteral("register"));
        if (failRegister)
            return QStringLiteral("register refused");
        registered = true;
        return std::nullopt;
    }
    std::optional<QString> unregisterItem() override
    {
        calls.append(QStringLiteral("unregister"));
        if (failUnregister)
            return QStringLiteral("unregister refused");
        registered = false;
        return std::nullopt;
    }

    bool registered = false;
    bool failRegister = false;
    bool failUnregister = false;
    QStringList calls;
};

} // namespace

class LaunchAtLoginManagerTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    QString autostart() const { return m_dir->filePath(QStringLiteral("config/autostart")); }
    QString entry() const { return autostart() + QStringLiteral("/tolvane.desktop"); }

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void execArgumentReadsBackExactly_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("written");
        // Quoting escapes " ` $ \ and doubles %; the string escapes then double
        // every backslash and spell line breaks and tabs.
        QTest::newRow("plain") << "/usr/bin/tolvane" << R"("/usr/bin/tolvane")";
        QTest::newRow("space") << "/opt/My Apps/tolvane" << R"("/opt/My Apps/tolvane")";
        QTest::newRow("backslash takes four") << R"(/opt/a\b/tolvane)" << R"("/opt/a\\\\b/tolvane")";
        QTest::newRow("percent is doubled") << "/opt/100%/tolvane" << R"("/opt/100%%/tolvane")";
        QTest::newRow("dollar, backtick, quote")
            << R"(/opt/$HOME/`x`/"q"/tolvane)" << R"("/opt/\\$HOME/\\`x\\`/\\"q\\"/tolvane")";
        QTest::newRow("line break and tab") << "/opt/a\nb\tc/tolvane" << R"("/opt/a\nb\tc/tolvane")";
        QTest::newRow("non-ASCII") << "/home/jürgen/Programme/tolvane" << R"("/home/jürgen/Programme/tolvane")";
    }

    void execArgumentReadsBackExactly()
    {
        QFETCH(QString, path);
        QFETCH(QString, written);
        const QString value = XdgAutostartLoginItem::quotedExecArgument(path);
        QCOMPARE(value, written);

        const QByteArray contents = XdgAutostartLoginItem::entryContents(path);
        QVERIFY(contents.startsWith("[Desktop Entry]\n"));
        QVERIFY(contents.contains("\nType=Application\n"));
        QVERIFY(contents.contains("\nExec=" + value.toUtf8() + "\n"));
    }

    void startsFromTheEntryOnDisk_data()
    {
        QTest::addColumn<QByteArray>("existing"); // "<none>" for no entry
        QTest::addColumn<bool>("enabled");
        QTest::newRow("no entry") << QByteArray("<none>") << false;
        QTest::newRow("entry") << QByteArray("[Desktop Entry]\nType=Application\nExec=/old/tolvane\n") << true;
        QTest::newRow("hidden entry") << QByteArray("[Desktop Entry]\nType=Application\nExec=/x\nHidden=true\n") << false;
        QTest::newRow("not a desktop entry") << QByteArray("garbage\0\xff", 9) << false;
    }

    void startsFromTheEntryOnDisk()
    {
        QFETCH(QByteArray, existing);
        QFETCH(bool, enabled);

        QVERIFY(QDir().mkpath(autostart()));
        if (existing != "<none>")
            writeFile(entry(), existing);
        XdgAutostartLoginItem item(autostart(), QStringLiteral("/usr/bin/tolvane"));
        RecordingLogSink log;
        LaunchAtLoginManager manager(&item);
        QCOMPARE(manager.isEnabled(), enabled);
        QCOMPARE(manager.lastError(), QString());
        QCOMPARE(log.lines(), QStringList{enabled ? "info: Launch at Login enabled" : "info: Launch at Login disabled"});
        // Applied once: an enabled entry now starts this program, anything else is gone.
        QCOMPARE(QFile::exists(entry()), enabled);
        if (enabled)
            QVERIFY(readFile(entry()).contains("\nExec=\"/usr/bin/tolvane\"\n"));
        QCOMPARE(item.isRegistered(), enabled);
    }

    void togglingWritesAndRemovesTheEntry()
    {
        // The default location follows XDG_CONFIG_HOME and the running program.
        XdgAutostartLoginItem item;
        QCOMPARE(item.entryPath(), QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/autostart/tolvane.desktop");
        QFile::remove(item.entryPath());

        LaunchAtLoginManager manager(&item);
        QSignalSpy enabledSpy(&manager, &LaunchAtLoginManager::isEnabledChanged);
        RecordingLogSink log;

        manager.setEnabled(true);
        QCOMPARE(enabledSpy.size(), 1);
        QVERIFY(readFile(item.entryPath())
                    .contains("\nExec=" + XdgAutostartLoginItem::quotedExecArgument(QCoreApplication::applicationFilePath()).toUtf8()));
        QVERIFY(QFileInfo(QCoreApplication::applicationFilePath()).isAbsolute());
        QVERIFY(item.isRegistered());

        manager.setEnabled(false);
        QVERIFY(!QFile::exists(item.entryPath()));
        QCOMPARE(log.lines(), (QStringList{"info: Launch at Login enabled", "info: Launch at Login disabled"}));
        QCOMPARE(manager.lastError(), QString());
    }

    void failureShowsTheSystemStateWithoutAlternating_data()
    {
        QTest::addColumn<bool>("registered");
        QTest::addColumn<bool>("failRegister");
        QTest::addColumn<bool>("failUnregister");
        QTest::addColumn<bool>("turnOn");
        QTest::addColumn<bool>("shownAfter");
        QTest::addColumn<QString>("error");

        QTest::newRow("register fails: back to off") << false << true << false << true << false << "register refused";
        QTest::newRow("unregister fails: back to on") << true << false << true << false << true << "unregister refused";
        QTest::newRow("both keep failing: one attempt each way at most")
            << false << true << true << true << false << "register refused";
    }

    void failureShowsTheSystemStateWithoutAlternating()
    {
        QFETCH(bool, registered);
        QFETCH(bool, failRegister);
        QFETCH(bool, failUnregister);
        QFETCH(bool, turnOn);
        QFETCH(bool, shownAfter);
        QFETCH(QString, error);

        FakeLoginItem item;
        item.registered = registered;
        LaunchAtLoginManager manager(&item);
        item.failRegister = failRegister;
        item.failUnregister = failUnregister;
        item.calls.clear();
        RecordingLogSink log;

        manager.setEnabled(turnOn);
        QCOMPARE(manager.lastError(), error);
        QCOMPARE(manager.isEnabled(), turnOn); // the correction comes from the main queue
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(manager.isEnabled(), shownAfter);
        QCOMPARE(item.calls.size(), 1);
        QCOMPARE(log.lines(), QStringList{"error: Failed to update Launch at Login: " + error});

        // The next successful change clears the message.
        item.failRegister = item.failUnregister = false;
        manager.setEnabled(!shownAfter);
        QCOMPARE(manager.lastError(), QString());
    }

    void unwritableAutostartDirectoryIsReported()
    {
        // A regular file where the autostart directory belongs: nothing can be
        // written below it, even by root.
        QVERIFY(QDir().mkpath(QFileInfo(autostart()).path()));
        writeFile(autostart(), "not a directory");
        XdgAutostartLoginItem item(autostart(), QStringLiteral("/usr/bin/tolvane"));
        LaunchAtLoginManager manager(&item);
        QCOMPARE(manager.lastError(), QString()); // removing an absent entry succeeds
        RecordingLogSink log;

        manager.setEnabled(true);
        QVERIFY2(manager.lastError().startsWith("Could not update the autostart entry: "), qPrintable(manager.lastError()));
        QTRY_COMPARE(manager.isEnabled(), false);
        QCOMPARE(log.lines().size(), 1);
        QVERIFY(log.lines().first().startsWith("error: Failed to update Launch at Login: Could not update"));
        QCOMPARE(readFile(autostart()), QByteArray("not a directory"));

        // An entry path taken by a directory cannot be removed.
        QFile::remove(autostart());
        QVERIFY(QDir().mkpath(entry() + QStringLiteral("/inside")));
        manager.setEnabled(false);
        QVERIFY(manager.lastError().startsWith("Could not update the autostart entry: "));
        QTRY_COMPARE(manager.isEnabled(), false);
        QVERIFY(QFileInfo(entry()).isDir());
    }
};

TOLVANE_TEST_GUILESS_MAIN(LaunchAtLoginManagerTest)
#include "LaunchAtLoginManagerTest.moc"
