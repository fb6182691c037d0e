#include "core/Preferences.h"
#include "feedback/GlobalHotkeyManager.h"
#include "platform/x11/X11Platform.h"
#include "support/EngineHarness.h"
#include "support/TestMain.h"

#include <QProcess>
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
        return m_real.addKeyPressMonitor([this, handler](const GlobalKeyPress& press) {
            seen.append(press.keyName);
            handler(press);
        });
    }
    QList<QByteArray> seen;

private:
    GlobalKeyMonitor& m_real;
};

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

class GlobalHotkeyDisplayTest : public QObject {
    Q_OBJECT
    std::unique_ptr<X11Platform> m_platform;
    std::unique_ptr<SeeingMonitor> m_monitor;
    EngineHarness m_harness;
    std::unique_ptr<GlobalHotkeyManager> m_manager;
    QProcess m_window;
    QString m_windowId;
    QByteArray m_windowOutput;
    Display* m_display = nullptr;

    void lockGroup(int group)
    {
        XkbLockGroup(m_display, XkbUseCoreKbd, group);
        XSync(m_display, False);
        XkbStateRec state;
        QTRY_VERIFY((XkbGetState(m_display, XkbUseCoreKbd, &state), state.locked_group == group));
    }

    void focusTestWindow()
    {
        QVERIFY(run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), m_windowId}));
        QTRY_COMPARE_WITH_TIMEOUT(
            [&] {
                QProcess p;
                p.start(QStringLiteral("xdotool"), {QStringLiteral("getwindowfocus")});
                p.waitForFinished();
                return QString::fromLatin1(p.readAllStandardOutput().trimmed());
            }(),
            m_windowId, 5000);
    }

    QStringList windowKeys()
    {
        m_windowOutput += m_window.readAllStandardOutput();
        QStringList keys;
        for (const QByteArray& line : m_windowOutput.split('\n'))
            if (line.startsWith("key "))
                keys.append(QString::fromLatin1(line.split(' ').value(1)));
        return keys;
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
        m_manager = std::make_unique<GlobalHotkeyManager>(m_monitor.get(), engine, nullptr);
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
        // On the Russian layout the same physical keys type з and щ.
        QTest::newRow("ru ctrl+alt+p") << 2 << "ctrl+alt+Cyrillic_ze" << QByteArray("AD10") << true;
        QTest::newRow("ru ctrl+alt+shift+p") << 2 << "ctrl+alt+shift+Cyrillic_ze" << QByteArray("AD10") << true;
        QTest::newRow("ru ctrl+p") << 2 << "ctrl+Cyrillic_ze" << QByteArray("AD10") << false;
        QTest::newRow("ru alt+p") << 2 << "alt+Cyrillic_ze" << QByteArray("AD10") << false;
        QTest::newRow("ru ctrl+alt+o") << 2 << "ctrl+alt+Cyrillic_shcha" << QByteArray("AD09") << false;
    }

    void hotkeyTogglesWhateverTheLayout()
    {
        QFETCH(int, group);
        QFETCH(QString, keys);
        QFETCH(QByteArray, keyName);
        QFETCH(bool, toggles);

        lockGroup(group);
        focusTestWindow();
        RuleEngine& engine = *m_harness.engine;
        const bool pausedBefore = engine.isPaused();
        const qsizetype received = windowKeys().size();
        m_monitor->seen.clear();

        QVERIFY(run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys}));

        // The monitor saw the key, and the focused window still received it.
        QTRY_VERIFY(m_monitor->seen.contains(keyName));
        QTRY_VERIFY(windowKeys().size() > received);
        QCoreApplication::processEvents();
        QCOMPARE(engine.isPaused(), toggles ? !pausedBefore : pausedBefore);
    }

    void ownWindowPressesToggleNothing()
    {
        lockGroup(0);
        QWidget own;
        own.setWindowTitle(QStringLiteral("Tolvane settings stand-in"));
        own.resize(200, 100);
        own.show();
        QVERIFY(QTest::qWaitForWindowExposed(&own));
        QVERIFY(run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"),
                                                 QString::number(own.winId())}));
        QTRY_VERIFY(own.isActiveWindow());

        RuleEngine& engine = *m_harness.engine;
        const bool pausedBefore = engine.isPaused();
        m_monitor->seen.clear();
        QVERIFY(run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+alt+p")}));
        QTRY_VERIFY(m_monitor->seen.contains("AD10"));
        QTest::qWait(50);
        QCOMPARE(engine.isPaused(), pausedBefore);
    }

    void stoppedMonitorSeesNothing()
    {
        lockGroup(0);
        focusTestWindow();
        RuleEngine& engine = *m_harness.engine;
        const bool pausedBefore = engine.isPaused();
        const qsizetype received = windowKeys().size();
        m_manager->stopMonitoring();
        m_monitor->seen.clear();
        QVERIFY(run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+alt+p")}));
        QTRY_VERIFY(windowKeys().size() > received);
        QTest::qWait(100);
        QVERIFY(m_monitor->seen.isEmpty());
        QCOMPARE(engine.isPaused(), pausedBefore);
    }
};

TOLVANE_TEST_MAIN(GlobalHotkeyDisplayTest)
#include "GlobalHotkeyDisplayTest.moc"
