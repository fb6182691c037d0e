#include "base/Preferences.h"
#include "feedback/GlobalHotkeyManager.h"
#include "platform/x11/X11Platform.h"
#include "support/EngineHarness.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"

#include <QWidget>

namespace {

// Passes presses on to the manager and remembers every key it saw.
struct SeeingMonitor : GlobalKeyMonitor {
    explicit SeeingMonitor(GlobalKeyMonitor& real)
        : real(real)
    {
    }
    bool canMonitorKeys() override { return real.canMonitorKeys(); }
    std::unique_ptr<Token> addKeyPressMonitor(Handler handler) override
    {
        return real.addKeyPressMonitor([this, handler](const GlobalKeyPress& press) {
            seen.append(press.keyName);
            handler(press);
        });
    }
    GlobalKeyMonitor& real;
    QList<QByteArray> seen;
};

} // namespace

// The pause hotkey over X RECORD, against key presses on the real X server.
class GlobalHotkeyDisplayTest : public QObject {
    Q_OBJECT
    std::unique_ptr<X11Platform> m_platform;
    std::unique_ptr<SeeingMonitor> m_monitor;
    EngineHarness m_harness;
    std::unique_ptr<GlobalHotkeyManager> m_manager;
    TestWindow m_window{QStringLiteral("HotkeyTarget")};
    QStringList m_messages;

    // Activates the X window `windowId` and types `keys`, seeing nothing from before.
    bool type(const QString& windowId, const QString& keys)
    {
        m_monitor->seen.clear();
        m_messages.clear();
        return TestWindow::run({QStringLiteral("windowactivate"), QStringLiteral("--sync"), windowId})
            && TestWindow::run({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys});
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_platform = X11Platform::create();
        QVERIFY(m_platform && m_platform->globalKeyMonitor()->canMonitorKeys());
        m_monitor = std::make_unique<SeeingMonitor>(*m_platform->globalKeyMonitor());
        m_manager = std::make_unique<GlobalHotkeyManager>(
            m_monitor.get(), m_harness.start(),
            [this](const QString& text, const QString& icon) { m_messages.append(icon + text); });
        m_manager->setHotkeyEnabled(true);
        m_manager->startMonitoring();
        m_manager->startMonitoring(); // at most one monitor: one toggle per press
        QVERIFY(m_window.isValid());
    }

    void hotkeyTogglesWhateverTheLayout_data()
    {
        QTest::addColumn<int>("group"); // of the layouts us, de, ru; the last row leaves us locked
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QByteArray>("keyName");
        QTest::addColumn<bool>("toggles");
        // On the Russian layout the same physical key types з.
        QTest::newRow("ru ctrl+alt+p") << 2 << "ctrl+alt+Cyrillic_ze" << QByteArray("AD10") << true;
        QTest::newRow("extra shift") << 0 << "ctrl+alt+shift+p" << QByteArray("AD10") << true;
        QTest::newRow("no alt") << 0 << "ctrl+p" << QByteArray("AD10") << false;
        QTest::newRow("other key") << 0 << "ctrl+alt+o" << QByteArray("AD09") << false;
    }
    void hotkeyTogglesWhateverTheLayout()
    {
        QFETCH(int, group);
        QFETCH(QString, keys);
        QFETCH(QByteArray, keyName);
        QFETCH(bool, toggles);
        QVERIFY(TestWindow::lockGroupElsewhere(group));
        const bool pausedBefore = m_harness.engine->isPaused();
        const qsizetype received = m_window.receivedKeys().size();
        QVERIFY(type(m_window.windowIdText(), keys));
        // The monitor saw the key, and the focused window still received it.
        QTRY_VERIFY(m_monitor->seen.contains(keyName));
        QTRY_VERIFY(m_window.receivedKeys().size() > received);
        QCoreApplication::processEvents();
        QCOMPARE(m_harness.engine->isPaused(), toggles != pausedBefore);
        const QString message = pausedBefore ? QStringLiteral("Switching Resumed") : QStringLiteral("Switching Paused");
        QCOMPARE(m_messages, toggles ? QStringList{QStringLiteral("\u26A1\uFE0F") + message} : QStringList());
    }

    // Last: leaves the shared manager stopped.
    void ownWindowOrDisabledTogglesNothing()
    {
        QWidget own;
        own.show();
        QVERIFY(QTest::qWaitForWindowExposed(&own));
        QVERIFY(type(QString::number(own.winId()), QStringLiteral("ctrl+alt+p")));
        QTRY_VERIFY(m_monitor->seen.contains("AD10"));
        QTest::qWait(50);
        QVERIFY(m_messages.isEmpty());

        // "Reset All Settings" removes the preference: the monitor goes and stays off.
        Preferences::remove(GlobalHotkeyManager::preferenceKey());
        m_manager->handleSettingsReset();
        m_manager->startMonitoring();
        QVERIFY(!m_manager->isMonitoring());
        const qsizetype received = m_window.receivedKeys().size();
        QVERIFY(type(m_window.windowIdText(), QStringLiteral("ctrl+alt+p")));
        QTRY_VERIFY(m_window.receivedKeys().size() > received);
        QTest::qWait(100);
        QVERIFY(m_monitor->seen.isEmpty());
        QVERIFY(m_messages.isEmpty());
    }
};

TOLVANE_TEST_MAIN(GlobalHotkeyDisplayTest)
#include "GlobalHotkeyDisplayTest.moc"
