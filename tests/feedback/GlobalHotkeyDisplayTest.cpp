#include "core/Preferences.h"
#include "feedback/GlobalHotkeyManager.h"
#include "platform/x11/X11Platform.h"
#include "support/EngineHarness.h"
#include "support/TestMain.h"

#include <QProcess>
#include <QSignalSpy>
#include <QWidget>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace {

// Passes presses on to the manager and remembers every key it saw.
class SeeingMonitor : public GlobalKeyMonitor {
public:
    explicit SeeingMonitor(GlobalKeyMonitor& real) : m_real(real) {}
    bool canMonitorKeys() override { return m_real.canMonitorKeys(); }
    std::unique_ptr<Token> addKeyPressMonitor(Handler handler) override
    {
        ++installs;
        return m_real.addKeyPressMonitor([this, handler](const GlobalKeyPress& press) {
            seen.append(press.keyName);
            handler(press);
        });
    }
    QList<QByteArray> seen;
    int installs = 0;

private:
    GlobalKeyMonitor& m_real;
};

// Runs xdotool; its output, or none when it failed.
std::optional<QString> xdotool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromLatin1(process.readAllStandardOutput().trimmed());
}

} // namespace

// The pause hotkey over X RECORD, against key presses on the real X server.
class GlobalHotkeyDisplayTest : public QObject {
    Q_OBJECT
    std::unique_ptr<X11Platform> m_platform;
    std::unique_ptr<SeeingMonitor> m_monitor;
    EngineHarness m_harness;
    std::unique_ptr<GlobalHotkeyManager> m_manager;
    QProcess m_window;
    QString m_windowId;
    QByteArray m_windowOutput;
    QStringList m_messages;
    Display* m_display = nullptr;

    void lockGroup(int group)
    {
        XkbLockGroup(m_display, XkbUseCoreKbd, group);
        XSync(m_display, False);
        XkbStateRec state;
        QTRY_VERIFY((XkbGetState(m_display, XkbUseCoreKbd, &state), state.locked_group == group));
    }

    void focus(const QString& windowId)
    {
        QVERIFY(xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), windowId}));
        QTRY_COMPARE_WITH_TIMEOUT(xdotool({QStringLiteral("getwindowfocus")}).value_or(QString()), windowId, 5000);
    }

    // The key presses the test window has reported so far.
    qsizetype windowKeys()
    {
        m_windowOutput += m_window.readAllStandardOutput();
        return m_windowOutput.count("key ");
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_display = XOpenDisplay(nullptr);
        QVERIFY(m_display);
        m_platform = X11Platform::create();
        QVERIFY(m_platform);
        QVERIFY(m_platform->globalKeyMonitor()->canMonitorKeys());
        m_monitor = std::make_unique<SeeingMonitor>(*m_platform->globalKeyMonitor());

        RuleEngine& engine = m_harness.start();
        m_manager = std::make_unique<GlobalHotkeyManager>(
            m_monitor.get(), engine, [this](const QString& text, const QString& icon) { m_messages.append(icon + text); });
        Preferences::setValue(GlobalHotkeyManager::preferenceKey(), true);
        m_manager->startMonitoring();
        QVERIFY(m_manager->isMonitoring());

        m_window.start(QStringLiteral(TOLVANE_HOTKEY_TEST_WINDOW), {QStringLiteral("--class"), QStringLiteral("HotkeyTarget")});
        QVERIFY(m_window.waitForStarted());
        QTRY_VERIFY(m_window.canReadLine());
        const QByteArray first = m_window.readLine().trimmed();
        QVERIFY2(first.startsWith("window 0x"), first.constData());
        m_windowId = QString::number(first.mid(7).toULong(nullptr, 16));
    }

    void cleanupTestCase()
    {
        m_manager.reset();
        lockGroup(0);
        m_window.kill();
        m_window.waitForFinished();
        if (m_display)
            XCloseDisplay(m_display);
    }

    void hotkeyTogglesWhateverTheLayout_data()
    {
        QTest::addColumn<int>("group"); // of the layouts us, de, ru
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QByteArray>("keyName");
        QTest::addColumn<bool>("toggles");

        QTest::newRow("us ctrl+alt+p") << 0 << "ctrl+alt+p" << QByteArray("AD10") << true;
        QTest::newRow("us ctrl+alt+shift+p") << 0 << "ctrl+alt+shift+p" << QByteArray("AD10") << true;
        QTest::newRow("us ctrl+p") << 0 << "ctrl+p" << QByteArray("AD10") << false;
        QTest::newRow("us alt+p") << 0 << "alt+p" << QByteArray("AD10") << false;
        QTest::newRow("us ctrl+alt+o") << 0 << "ctrl+alt+o" << QByteArray("AD09") << false;
        // On the Russian layout the same physical key types з.
        QTest::newRow("ru ctrl+alt+p") << 2 << "ctrl+alt+Cyrillic_ze" << QByteArray("AD10") << true;
    }

    void hotkeyTogglesWhateverTheLayout()
    {
        QFETCH(int, group);
        QFETCH(QString, keys);
        QFETCH(QByteArray, keyName);
        QFETCH(bool, toggles);

        lockGroup(group);
        focus(m_windowId);
        const bool pausedBefore = m_harness.engine->isPaused();
        const qsizetype received = windowKeys();
        m_monitor->seen.clear();
        m_messages.clear();

        QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys}));

        // The monitor saw the key, and the focused window still received it.
        QTRY_VERIFY(m_monitor->seen.contains(keyName));
        QTRY_VERIFY(windowKeys() > received);
        QCoreApplication::processEvents();
        QCOMPARE(m_harness.engine->isPaused(), toggles != pausedBefore);
        const QString message = pausedBefore ? QStringLiteral("Switching Resumed") : QStringLiteral("Switching Paused");
        QCOMPARE(m_messages, toggles ? QStringList{QStringLiteral("\u26A1\uFE0F") + message} : QStringList());
    }

    void ownWindowPressesToggleNothing()
    {
        lockGroup(0);
        QWidget own;
        own.resize(200, 100);
        own.show();
        QVERIFY(QTest::qWaitForWindowExposed(&own));
        focus(QString::number(own.winId()));

        m_monitor->seen.clear();
        m_messages.clear();
        QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+p")}));
        QTRY_VERIFY(m_monitor->seen.contains("AD10"));
        QTest::qWait(50);
        QVERIFY(m_messages.isEmpty()); // nothing toggled
    }

    void monitorsOnlyWhileEnabledAndAtMostOnce()
    {
        GlobalHotkeyManager manager(m_monitor.get(), *m_harness.engine, {});
        const int installs = m_monitor->installs;
        Preferences::remove(GlobalHotkeyManager::preferenceKey());
        manager.startMonitoring();
        QVERIFY(!manager.isMonitoring()); // off while the preference is absent

        manager.setHotkeyEnabled(true);
        manager.startMonitoring();
        manager.startMonitoring();
        QVERIFY(manager.isMonitoring());
        QCOMPARE(m_monitor->installs, installs + 1);

        // Starting while the preference is off removes the monitor, as does a reset of all settings.
        manager.setHotkeyEnabled(false);
        manager.startMonitoring();
        QVERIFY(!manager.isMonitoring());
        manager.setHotkeyEnabled(true);
        manager.startMonitoring();
        QSignalSpy enabled(&manager, &GlobalHotkeyManager::hotkeyEnabledChanged);
        Preferences::remove(GlobalHotkeyManager::preferenceKey()); // what "Reset All Settings" does
        manager.handleSettingsReset();
        QVERIFY(!manager.isMonitoring());
        QCOMPARE(enabled.size(), 1);

        // Without a way to observe keys the hotkey is inert.
        GlobalHotkeyManager without(nullptr, *m_harness.engine, {});
        without.startMonitoring();
        QVERIFY(!without.isMonitoring());
    }

    void stoppedMonitorSeesNothing()
    {
        lockGroup(0);
        focus(m_windowId);
        const qsizetype received = windowKeys();
        m_manager->stopMonitoring();
        m_monitor->seen.clear();
        m_messages.clear();
        QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+p")}));
        QTRY_VERIFY(windowKeys() > received);
        QTest::qWait(100);
        QVERIFY(m_monitor->seen.isEmpty());
        QVERIFY(m_messages.isEmpty());
    }
};

TOLVANE_TEST_MAIN(GlobalHotkeyDisplayTest)
#include "GlobalHotkeyDisplayTest.moc"
