#include "core/Preferences.h"
#include "feedback/GlobalHotkeyManager.h"
#include "support/EngineHarness.h"
#include "support/TestMain.h"

#include <QSignalSpy>

namespace {

// Hands out tokens and keeps the handler of the live one.
class FakeKeyMonitor : public GlobalKeyMonitor {
public:
    class FakeToken : public Token {
    public:
        explicit FakeToken(FakeKeyMonitor& owner) : m_owner(owner) { ++m_owner.live; }
        ~FakeToken() override
        {
            --m_owner.live;
            m_owner.handler = nullptr;
        }

    private:
        FakeKeyMonitor& m_owner;
    };

    bool canMonitorKeys() override { return available; }
    std::unique_ptr<Token> addKeyPressMonitor(Handler h) override
    {
        ++installs;
        if (!available)
            return nullptr;
        handler = std::move(h);
        return std::make_unique<FakeToken>(*this);
    }
    void press(const QByteArray& key, Qt::KeyboardModifiers modifiers, bool own = false)
    {
        if (handler)
            handler(GlobalKeyPress{key, modifiers, own});
    }

    bool available = true;
    int installs = 0;
    int live = 0;
    Handler handler;
};

constexpr auto Ctrl = Qt::ControlModifier;
constexpr auto Alt = Qt::AltModifier;
constexpr auto Shift = Qt::ShiftModifier;
constexpr auto Meta = Qt::MetaModifier;

} // namespace

class GlobalHotkeyManagerTest : public QObject {
    Q_OBJECT
    EngineHarness m_harness;

private Q_SLOTS:
    void init()
    {
        Preferences::store().clear();
    }

    void pressesToggleOnlyForTheHotkey_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("ownWindow");
        QTest::addColumn<bool>("toggles");
        // Ctrl+Alt+Shift+P, Ctrl+P, Alt+P and Ctrl+Alt+O go through the real X server
        // in GlobalHotkeyDisplayTest.

        QTest::newRow("Ctrl+Alt+P") << QByteArray("AD10") << Qt::KeyboardModifiers(Ctrl | Alt) << false << true;
        QTest::newRow("Ctrl+Alt+Super+P") << QByteArray("AD10") << (Ctrl | Alt | Meta) << false << true;
        QTest::newRow("P") << QByteArray("AD10") << Qt::KeyboardModifiers() << false << false;
        QTest::newRow("unnamed key") << QByteArray() << Qt::KeyboardModifiers(Ctrl | Alt) << false << false;
        QTest::newRow("Ctrl+Alt+P in an own window") << QByteArray("AD10") << Qt::KeyboardModifiers(Ctrl | Alt) << true
                                                     << false;
    }

    void pressesToggleOnlyForTheHotkey()
    {
        QFETCH(QByteArray, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, ownWindow);
        QFETCH(bool, toggles);

        RuleEngine& engine = m_harness.start();
        FakeKeyMonitor monitor;
        QStringList shown;
        GlobalHotkeyManager manager(&monitor, engine, [&](const QString& text, const QString& icon) {
            shown.append(icon + QLatin1Char(' ') + text);
        });
        manager.setHotkeyEnabled(true);
        manager.startMonitoring();
        QVERIFY(manager.isMonitoring());

        const QString icon = QStringLiteral("\u26A1\uFE0F");
        monitor.press(key, modifiers, ownWindow);
        QCOMPARE(engine.isPaused(), false); // queued to the main queue
        QCoreApplication::processEvents();
        QCOMPARE(engine.isPaused(), toggles);
        QCOMPARE(shown, toggles ? QStringList{icon + " Switching Paused"} : QStringList{});

        // Pressed again, it resumes.
        monitor.press(key, modifiers, ownWindow);
        QCoreApplication::processEvents();
        QCOMPARE(engine.isPaused(), false);
        QCOMPARE(shown.size(), toggles ? 2 : 0);
        if (toggles)
            QCOMPARE(shown.last(), icon + " Switching Resumed");
    }

    void installsOnlyWhileEnabledAndAtMostOnce()
    {
        RuleEngine& engine = m_harness.start();
        FakeKeyMonitor monitor;
        GlobalHotkeyManager manager(&monitor, engine, {});
        QSignalSpy monitoring(&manager, &GlobalHotkeyManager::isMonitoringChanged);
        QSignalSpy enabled(&manager, &GlobalHotkeyManager::hotkeyEnabledChanged);

        QCOMPARE(manager.hotkeyEnabled(), false); // absent preference
        manager.startMonitoring();
        QCOMPARE(monitor.installs, 0);

        manager.setHotkeyEnabled(true);
        QCOMPARE(enabled.size(), 1);
        QCOMPARE(Preferences::boolValue(QStringLiteral("pauseHotkeyEnabled")), true);
        manager.startMonitoring();
        manager.startMonitoring();
        QCOMPARE(monitor.installs, 1);
        QCOMPARE(monitor.live, 1);
        QCOMPARE(monitoring.size(), 1);

        // Starting while the preference is off removes the installed monitor.
        manager.setHotkeyEnabled(false);
        manager.startMonitoring();
        QCOMPARE(monitor.live, 0);
        QVERIFY(!manager.isMonitoring());
        QCOMPARE(monitoring.size(), 2);

        // A press already queued when the monitor goes does not outlive the manager.
        manager.setHotkeyEnabled(true);
        manager.startMonitoring();
        {
            GlobalHotkeyManager shortLived(&monitor, engine, {});
            shortLived.startMonitoring(); // a second, independent manager
            monitor.press("AD10", Ctrl | Alt);
        }
        QCoreApplication::processEvents();
        QCOMPARE(engine.isPaused(), false);
    }

    void missingMonitorMakesTheHotkeyInert()
    {
        RuleEngine& engine = m_harness.start();
        FakeKeyMonitor refusing;
        refusing.available = false;
        GlobalHotkeyManager manager(&refusing, engine, {});
        manager.setHotkeyEnabled(true);
        manager.startMonitoring();
        QVERIFY(!manager.isMonitoring());
        manager.stopMonitoring();

        GlobalHotkeyManager without(nullptr, engine, {});
        without.startMonitoring();
        QVERIFY(!without.isMonitoring());
    }

    void resetStopsTheMonitor()
    {
        RuleEngine& engine = m_harness.start();
        FakeKeyMonitor monitor;
        GlobalHotkeyManager manager(&monitor, engine, {});
        manager.setHotkeyEnabled(true);
        manager.startMonitoring();
        QSignalSpy enabled(&manager, &GlobalHotkeyManager::hotkeyEnabledChanged);

        Preferences::remove(GlobalHotkeyManager::preferenceKey()); // what "Reset All Settings" does
        manager.handleSettingsReset();
        QVERIFY(!manager.isMonitoring());
        QCOMPARE(monitor.live, 0);
        QCOMPARE(manager.hotkeyEnabled(), false);
        QCOMPARE(enabled.size(), 1);
    }
};

TOLVANE_TEST_GUILESS_MAIN(GlobalHotkeyManagerTest)
#include "GlobalHotkeyManagerTest.moc"
