// End to end on a real, headless GNOME Shell (scripts/with-gnome-shell runs
// this test inside one): Tolvane's Shell extension, real Wayland windows,
// real focus changes, GNOME's own input sources (XKB layouts and an IBus
// engine) read back from the Shell.
#include "core/InputSourceManager.h"
#include "core/RuleEngine.h"
#include "core/RulesStore.h"
#include "core/WindowWatcher.h"
#include "feedback/MenuBarIndicatorController.h"
#include "platform/gnome/GnomePlatform.h"
#include "platform/gnome/GnomeShellExtension.h"
#include "support/EngineHarness.h"
#include "support/ProcessEnvironment.h"
#include "support/TestMain.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>

#include <memory>

namespace {

// Runs `gsettings` as the user would; true when it succeeded.
bool gsettings(const QStringList& arguments)
{
    return tolvane::test::runProgram(QStringLiteral("gsettings"), arguments, 5000).has_value();
}

bool setExtensionEnabled(bool enabled)
{
    return gsettings({QStringLiteral("set"), QStringLiteral("org.gnome.shell"), QStringLiteral("enabled-extensions"),
                      enabled ? QStringLiteral("['tolvane@kelvora.com']") : QStringLiteral("@as []")});
}

// The Shell's own index of its current input source, as its extension reports it.
int shellCurrentSource()
{
    const QDBusMessage reply = QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
        QStringLiteral("com.kelvora.Tolvane.Shell"), QStringLiteral("/com/kelvora/Tolvane/Shell"),
        QStringLiteral("com.kelvora.Tolvane.Shell1"), QStringLiteral("GetCurrentInputSource")));
    return reply.arguments().isEmpty() ? -2 : reply.arguments().constFirst().toInt();
}

QStringList kinds(DesktopConflictMonitor* issues)
{
    QStringList result;
    for (const DesktopConflict& issue : issues->conflicts())
        result.append(issue.key);
    return result;
}

} // namespace

class GnomeSwitchingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("TOLVANE_GNOME_SHELL_LOG"))
            QSKIP("runs inside scripts/with-gnome-shell");
        // GSettings reads its values from files under XDG_CONFIG_HOME: the Shell's.
        qputenv("XDG_CONFIG_HOME", qgetenv("TOLVANE_GNOME_SHELL_CONFIG_HOME"));
        m_platform = std::make_unique<GnomePlatform>();
        // The Shell lists IBus engines once IBus has started.
        if (m_platform->extension().isRunning())
            QTRY_COMPARE_WITH_TIMEOUT(provider()->enabledInputSources().value_or(QList<InputSourceProperties>{}).size(),
                                      3, 15000);
    }

    void init()
    {
        QFile::remove(RulesStore::standardPath());
        if (!QTest::currentTestFunction()
            || QByteArray(QTest::currentTestFunction()) != "aMissingExtensionIsReported") {
            if (!m_platform->extension().isRunning())
                QSKIP("Tolvane's extension is not installed in this Shell");
            QVERIFY(provider()->selectInputSource(QStringLiteral("xkb:us")));
        }
    }

    void cleanup()
    {
        for (const QString& appId : m_windows.keys())
            closeWindow(appId);
    }

    void listsTheShellsSources()
    {
        QStringList listed;
        for (const auto& source : provider()->enabledInputSources().value_or(QList<InputSourceProperties>{}))
            listed.append(source.id.value_or(QString()) + QLatin1Char(' ') + source.localizedName.value_or(QString())
                          + QLatin1Char(' ') + source.countryCode.value_or(QString()));
        QCOMPARE(listed, (QStringList{"xkb:us English (US) US", "xkb:de German DE", "ibus:hangul Korean (Hangul) KR"}));
        QCOMPARE(provider()->currentInputSource()->id, QStringLiteral("xkb:us"));
    }

    void identifiesTheFocusedApplication()
    {
        QSignalSpy activated(m_platform->applicationSource(), &ApplicationSource::applicationActivated);
        QVERIFY(openWindow(QStringLiteral("org.example.Alpha")));
        QTRY_VERIFY(!activated.isEmpty());
        const auto app = activated.last().first().value<RunningApplication>();
        QCOMPARE(app.bundleIdentifier, QStringLiteral("org.example.Alpha"));
        QCOMPARE(app.localizedName, QStringLiteral("org.example.Alpha"));
        QCOMPARE(app.processIdentifier, m_windows.value(QStringLiteral("org.example.Alpha"))->processId());
        QCOMPARE(app.processKey, QStringLiteral("pid:%1").arg(app.processIdentifier));
        QCOMPARE(m_platform->applicationSource()->frontmostApplication()->bundleIdentifier, app.bundleIdentifier);
        QVERIFY(m_platform->applicationSource()->activeWindowFrame()->width() > 0);
        QStringList running;
        for (const auto& other : m_platform->applicationSource()->runningApplications())
            running.append(other.bundleIdentifier.value_or(QString()));
        QCOMPARE(running, QStringList{"org.example.Alpha"});
    }

    void appliesRulesAndTheDefaultOnFocus()
    {
        BackendEngine engine(provider(), m_platform->applicationSource(),
                             {ruleFor(QStringLiteral("org.example.German"), QStringLiteral("xkb:de")),
                              ruleFor(QStringLiteral("org.example.Korean"), QStringLiteral("ibus:hangul"))},
                             QStringLiteral("xkb:us"));

        // New windows take the focus; closing one gives it back to the one before.
        QVERIFY(openWindow(QStringLiteral("org.example.German")));
        QTRY_COMPARE(shellCurrentSource(), 1);
        QVERIFY(openWindow(QStringLiteral("org.example.Korean")));
        QTRY_COMPARE(shellCurrentSource(), 2);
        QVERIFY(openWindow(QStringLiteral("org.example.Plain")));
        QTRY_COMPARE(shellCurrentSource(), 0);
        closeWindow(QStringLiteral("org.example.Plain"));
        QTRY_COMPARE(shellCurrentSource(), 2);
        closeWindow(QStringLiteral("org.example.Korean"));
        QTRY_COMPARE(shellCurrentSource(), 1);
        QTRY_COMPARE(engine.shown,
                     (QStringList{"German xkb:de", "Korean (Hangul) ibus:hangul", "English (US) xkb:us",
                                  "Korean (Hangul) ibus:hangul", "German xkb:de"}));
    }

    void selectionSucceedsOnlyForTheShellsSources_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<int>("current");
        QTest::newRow("an XKB layout") << "xkb:de" << true << 1;
        QTest::newRow("an IBus engine") << "ibus:hangul" << true << 2;
        QTest::newRow("the source already current") << "xkb:us" << true << 0;
        QTest::newRow("a layout GNOME does not offer") << "xkb:fr" << false << 0;
        QTest::newRow("an engine GNOME does not offer") << "ibus:anthy" << false << 0;
        QTest::newRow("the Shell's own form of a name") << "xkb:de+nodeadkeys" << false << 0;
    }

    void selectionSucceedsOnlyForTheShellsSources()
    {
        QFETCH(QString, id);
        QFETCH(bool, selected);
        QFETCH(int, current);
        QCOMPARE(provider()->selectInputSource(id), selected);
        QCOMPARE(shellCurrentSource(), current);
    }

    void outsideSwitchReachesTheTrayIndicator()
    {
        InputSourceManager manager(provider());
        MenuBarIndicatorController tray(manager);
        QCOMPARE(tray.currentInputSourceName(), QStringLiteral("English (US)"));
        // Another client of the Shell (its own switcher, the keyboard shortcut) switches.
        QDBusMessage activate = QDBusMessage::createMethodCall(
            QStringLiteral("com.kelvora.Tolvane.Shell"), QStringLiteral("/com/kelvora/Tolvane/Shell"),
            QStringLiteral("com.kelvora.Tolvane.Shell1"), QStringLiteral("ActivateInputSource"));
        activate.setArguments({QVariant::fromValue(1u)});
        QDBusConnection::sessionBus().call(activate);
        QTRY_COMPARE(tray.currentInputSourceName(), QStringLiteral("German"));
        QCOMPARE(tray.currentInputSourceIcon(), QStringLiteral("🇩🇪"));
    }

    void theShellShowsTheIndicator()
    {
        OverlayPresenter* overlay = m_platform->overlayPresenter();
        QImage panel(240, 60, QImage::Format_ARGB32_Premultiplied);
        panel.fill(QColor(28, 28, 30, 210));
        for (const auto placement : {OverlayPresenter::Placement::Top, OverlayPresenter::Placement::Center,
                                     OverlayPresenter::Placement::Bottom}) {
            QVERIFY(overlay->show(panel, placement, 80));
            QVERIFY(overlay->isShown());
            overlay->setOpacity(0.5);
        }
        overlay->hide();
        QVERIFY(!overlay->isShown());
        QVERIFY(!overlay->show(QImage(), OverlayPresenter::Placement::Top, 80));
        // The Shell is still there and serving after all of it.
        QCOMPARE(shellCurrentSource(), 0);
    }

    void aDisabledExtensionIsReportedAndNothingIsSwitched()
    {
        DesktopConflictMonitor* issues = m_platform->desktopConflictMonitor();
        QTRY_COMPARE(kinds(issues), QStringList{});
        QVERIFY(setExtensionEnabled(false));
        QTRY_VERIFY(!m_platform->extension().isRunning());
        QTRY_COMPARE(kinds(issues), QStringList{"gnome.shell-extension.disabled"});
        QCOMPARE(issues->conflicts().first().arguments, QStringList{"tolvane@kelvora.com"});
        QVERIFY(!issues->conflicts().first().dismissable);
        QVERIFY(!provider()->enabledInputSources());
        QVERIFY(!provider()->selectInputSource(QStringLiteral("xkb:de")));
        QVERIFY(!m_platform->applicationSource()->frontmostApplication());

        QVERIFY(setExtensionEnabled(true));
        QTRY_VERIFY(m_platform->extension().isRunning());
        QTRY_COMPARE(kinds(issues), QStringList{});
        QVERIFY(provider()->selectInputSource(QStringLiteral("xkb:de")));
        QCOMPARE(shellCurrentSource(), 1);
    }

    void perWindowSourcesAreReported()
    {
        DesktopConflictMonitor* issues = m_platform->desktopConflictMonitor();
        QTRY_COMPARE(kinds(issues), QStringList{});
        QVERIFY(gsettings({"set", "org.gnome.desktop.input-sources", "per-window", "true"}));
        QTRY_COMPARE(kinds(issues), QStringList{"gnome.input-sources.per-window"});
        QVERIFY(gsettings({"set", "org.gnome.desktop.input-sources", "per-window", "false"}));
        QTRY_COMPARE(kinds(issues), QStringList{});
    }

    // Run in a Shell without the extension (platform_gnome_without_extension).
    void aMissingExtensionIsReported()
    {
        if (m_platform->extension().isRunning())
            QSKIP("the extension runs in this Shell");
        DesktopConflictMonitor* issues = m_platform->desktopConflictMonitor();
        QTRY_COMPARE(kinds(issues), QStringList{"gnome.shell-extension.not-installed"});
        QVERIFY(!provider()->enabledInputSources());
        QVERIFY(!provider()->selectInputSource(QStringLiteral("xkb:us")));
    }

private:
    bool openWindow(const QString& appId)
    {
        auto* window = new QProcess;
        m_windows.insert(appId, window);
        window->start(QStringLiteral(TOLVANE_WAYLAND_TEST_WINDOW), {QStringLiteral("--app-id"), appId});
        return window->waitForStarted(5000) && window->waitForReadyRead(10000)
            && window->readLine().trimmed() == "shown";
    }

    void closeWindow(const QString& appId)
    {
        QProcess* window = m_windows.take(appId);
        window->closeWriteChannel();
        window->waitForFinished(3000);
        delete window;
    }

    InputSourceProvider* provider() { return m_platform->inputSourceProvider(); }

    std::unique_ptr<GnomePlatform> m_platform;
    QHash<QString, QProcess*> m_windows;
};

TOLVANE_TEST_MAIN(GnomeSwitchingTest)
#include "GnomeSwitchingTest.moc"
