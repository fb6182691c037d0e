// Which backend a session gets: the registry's choice among backends, and the
// backend the application really starts with on a Wayland desktop it cannot drive.
#include "platform/Platform.h"
#include "platform/PlatformRegistry.h"
#include "support/RecordingLogSink.h"
#include "support/TestMain.h"

namespace {

// Two stand-ins with the predicates real backends use; never created here.
PlatformRegistry fakeRegistry()
{
    PlatformRegistry registry;
    registry.add({QStringLiteral("x11"), PlatformBackend::Session::X11,
                  [](const DesktopSession& s) { return !s.xDisplay.isEmpty(); }, [] { return nullptr; }});
    registry.add({QStringLiteral("sway"), PlatformBackend::Session::Wayland,
                  [](const DesktopSession& s) { return !s.swaySocket.isEmpty(); }, [] { return nullptr; }});
    registry.add({QStringLiteral("kde"), PlatformBackend::Session::Wayland,
                  [](const DesktopSession& s) { return s.runsDesktop(QStringLiteral("KDE")); },
                  [] { return nullptr; }});
    return registry;
}

// "NAME=value NAME=value" into an environment.
QProcessEnvironment environment(const QString& variables)
{
    QProcessEnvironment environment;
    for (const QString& pair : variables.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        environment.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
    return environment;
}

const char* const kSessionVariables[] = {
    "XDG_SESSION_TYPE",    "WAYLAND_DISPLAY", "SWAYSOCK", "HYPRLAND_INSTANCE_SIGNATURE",
    "XDG_CURRENT_DESKTOP", "TOLVANE_PLATFORM"};

} // namespace

class PlatformChoiceTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choice_data()
    {
        QTest::addColumn<QString>("variables");
        QTest::addColumn<QString>("backend"); // empty: none
        QTest::addColumn<bool>("unsupportedDesktop");
        QTest::newRow("X11 session") << "XDG_SESSION_TYPE=x11 DISPLAY=:0"
                                     << "x11" << false;
        QTest::newRow("no session type, X display") << "DISPLAY=:0"
                                                    << "x11" << false;
        QTest::newRow("x11 session type wins over a stray WAYLAND_DISPLAY")
            << "XDG_SESSION_TYPE=x11 DISPLAY=:0 WAYLAND_DISPLAY=wayland-0"
            << "x11" << false;
        QTest::newRow("Wayland, unknown compositor, Xwayland display")
            << "XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-0 DISPLAY=:0 XDG_CURRENT_DESKTOP=Weston"
            << "" << true;
        QTest::newRow("Wayland session type without WAYLAND_DISPLAY") << "XDG_SESSION_TYPE=wayland DISPLAY=:0"
                                                                      << "" << true;
        QTest::newRow("compositor started from a console")
            << "XDG_SESSION_TYPE=tty WAYLAND_DISPLAY=wayland-1 SWAYSOCK=/run/sway.sock DISPLAY=:0"
            << "sway" << false;
        QTest::newRow("sway session") << "XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-1 SWAYSOCK=/run/s.sock"
                                      << "sway" << false;
        QTest::newRow("override picks X11 on Wayland")
            << "XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-0 DISPLAY=:0 TOLVANE_PLATFORM=X11"
            << "x11" << false;
        QTest::newRow("override naming no backend is ignored")
            << "XDG_SESSION_TYPE=x11 DISPLAY=:0 TOLVANE_PLATFORM=quartz"
            << "x11" << false;
        QTest::newRow("nothing at all") << ""
                                        << "" << false;
        QTest::newRow("Plasma on Wayland")
            << "XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-0 DISPLAY=:1 XDG_CURRENT_DESKTOP=KDE"
            << "kde" << false;
        QTest::newRow("Plasma on X11") << "XDG_SESSION_TYPE=x11 DISPLAY=:0 XDG_CURRENT_DESKTOP=KDE"
                                       << "x11" << false;
    }

    void choice()
    {
        QFETCH(QString, variables);
        QFETCH(QString, backend);
        QFETCH(bool, unsupportedDesktop);
        const PlatformRegistry registry = fakeRegistry();
        const DesktopSession session = DesktopSession::fromEnvironment(environment(variables));
        const PlatformRegistry::Choice choice = registry.choose(session);
        QCOMPARE(choice.backend ? choice.backend->name : QString(), backend);
        QCOMPARE(choice.unsupportedDesktop, unsupportedDesktop);
        QVERIFY(!choice.reason.isEmpty());
        if (!session.requestedBackend.isEmpty())
            QVERIFY2(choice.reason.contains(session.requestedBackend), qPrintable(choice.reason));
    }

    // The build's own registry on an X display the suite does not open: the
    // application starts without X11, says why, and switches nothing.
    void unknownWaylandCompositorIsNotDrivenThroughXwayland()
    {
        QMap<QByteArray, QByteArray> saved;
        for (const char* name : kSessionVariables)
            saved.insert(name, qgetenv(name));
        qputenv("XDG_SESSION_TYPE", "wayland");
        qputenv("WAYLAND_DISPLAY", "wayland-0");
        qputenv("XDG_CURRENT_DESKTOP", "Weston");
        for (const char* name : {"SWAYSOCK", "HYPRLAND_INSTANCE_SIGNATURE", "TOLVANE_PLATFORM"})
            qunsetenv(name);
        RecordingLogSink log;
        Platform::setInstance(nullptr);
        Platform& platform = Platform::instance();
        const QString name = platform.name();
        const bool available = platform.switchingAvailable();
        const bool following = platform.applicationSource() != nullptr;
        Platform::setInstance(nullptr);
        for (auto it = saved.cbegin(); it != saved.cend(); ++it) {
            if (it.value().isEmpty())
                qunsetenv(it.key().constData());
            else
                qputenv(it.key().constData(), it.value());
        }
        QCOMPARE(name, QStringLiteral("none"));
        QVERIFY(!available);
        QVERIFY(!following);
        const QString line = log.lines().join(QLatin1Char('\n'));
        QVERIFY2(line.contains(QLatin1String("error: No platform backend: Wayland session")), qPrintable(line));
        QVERIFY2(line.contains(QLatin1String("X11 is not used")), qPrintable(line));
        QVERIFY2(line.contains(QLatin1String("XDG_CURRENT_DESKTOP=Weston")), qPrintable(line));
    }
};

TOLVANE_TEST_MAIN(PlatformChoiceTest)
#include "PlatformChoiceTest.moc"
