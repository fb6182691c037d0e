// Which backend a session gets: the registry's choice among backends. What the real
// binary does on a Wayland desktop it cannot drive is in app_process.
#include "platform/PlatformRegistry.h"
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

} // namespace

class PlatformChoiceTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choice_data()
    {
        QTest::addColumn<QString>("variables");
        QTest::addColumn<QString>("backend"); // empty: none
        QTest::addColumn<bool>("unsupportedDesktop");
        const auto row = [](const char* tag, const QString& variables, const QString& backend, bool unsupported) {
            QTest::newRow(tag) << variables << backend << unsupported;
        };
        row("X11 session", "XDG_SESSION_TYPE=x11 DISPLAY=:0", "x11", false);
        row("no session type, X display", "DISPLAY=:0", "x11", false);
        row("x11 session type wins over a stray WAYLAND_DISPLAY",
            "XDG_SESSION_TYPE=x11 DISPLAY=:0 WAYLAND_DISPLAY=wayland-0", "x11", false);
        row("Wayland, unknown compositor, Xwayland display",
            "XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-0 DISPLAY=:0 XDG_CURRENT_DESKTOP=Weston", "", true);
        row("Wayland session type without WAYLAND_DISPLAY", "XDG_SESSION_TYPE=wayland DISPLAY=:0", "", true);
        row("compositor started from a console",
            "XDG_SESSION_TYPE=tty WAYLAND_DISPLAY=wayland-1 SWAYSOCK=/run/sway.sock DISPLAY=:0", "sway", false);
        row("sway session", "XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-1 SWAYSOCK=/run/s.sock", "sway", false);
        row("override picks X11 on Wayland",
            "XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-0 DISPLAY=:0 TOLVANE_PLATFORM=X11", "x11", false);
        row("override naming no backend is ignored", "XDG_SESSION_TYPE=x11 DISPLAY=:0 TOLVANE_PLATFORM=quartz", "x11",
            false);
        row("nothing at all", "", "", false);
        row("Plasma on Wayland",
            "XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-0 DISPLAY=:1 XDG_CURRENT_DESKTOP=KDE", "kde", false);
        row("Plasma on X11", "XDG_SESSION_TYPE=x11 DISPLAY=:0 XDG_CURRENT_DESKTOP=KDE", "x11", false);
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
};

TOLVANE_TEST_MAIN(PlatformChoiceTest)
#include "PlatformChoiceTest.moc"
