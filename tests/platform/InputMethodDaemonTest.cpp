// The real fcitx5 and IBus daemons, one at a time, on the private desktop and
// session bus that `make test` starts, configured through this test's own
// XDG_CONFIG_HOME: listing, rules, switches made by others, stop and restart.
#include "feedback/FlagEmoji.h"
#include "feedback/MenuBarIndicatorController.h"
#include "platform/x11/X11Platform.h"
#include "support/EngineHarness.h"
#include "support/StatusNotifierWatcherStandIn.h"
#include "support/TestFiles.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"

#include <QDBusConnection>
#include <QSignalSpy>
#include <QStandardPaths>

namespace {

// "<id> <name> <flag>" of each source, the flag from what the framework says of it.
QStringList describe(const QList<InputSource>& sources)
{
    QStringList result;
    for (const InputSource& source : sources)
        result.append(source.id + u' ' + source.name + u' ' + flagEmoji(source));
    return result;
}

// The trimmed standard output of a program that succeeded.
std::optional<QByteArray> run(const QString& program, const QStringList& arguments)
{
    const auto output = tolvane::test::runProgram(program, arguments);
    return output ? std::optional(output->trimmed()) : std::nullopt;
}

// Writes a file below this test's XDG_CONFIG_HOME.
void writeConfig(const QString& relativePath, const QByteArray& contents)
{
    QVERIFY(tolvane::test::writeFile(
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + relativePath, contents));
}

void writeIBusEngines(const QByteArray& engines)
{
    writeConfig(QStringLiteral("/glib-2.0/settings/keyfile"),
                "[desktop/ibus/general]\npreload-engines=" + engines + "\n");
}

using tolvane::test::stopProcess;

// A window of its own process, once the window manager manages it, with an
// fcitx5 input context that follows the X focus.
class ImWindow {
public:
    explicit ImWindow(const QString& className)
    {
        m_client.start(QStringLiteral(TOLVANE_IM_CLIENT),
                       {QStringLiteral("--framework"), QStringLiteral("fcitx5"), QStringLiteral("--class"), className});
        m_client.waitForReadyRead(5000);
        id = m_client.readLine().mid(7).trimmed().toULong(nullptr, 16);
    }
    ~ImWindow() { stopProcess(m_client); }
    // Activates through the window manager and waits until the application has
    // told fcitx5 that it has the focus, as a real application does at once.
    // The event loop does not run meanwhile, so the activation reaches Tolvane afterwards.
    bool activate()
    {
        m_client.waitForReadyRead(0);
        m_client.readAllStandardOutput();
        if (!TestWindow::run({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(id)}))
            return false;
        QByteArray printed;
        while (!printed.contains("focus in") && m_client.waitForReadyRead(5000))
            printed += m_client.readAllStandardOutput();
        return printed.contains("focus in");
    }

    unsigned long id = 0;

private:
    QProcess m_client;
};

} // namespace

class InputMethodDaemonTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY") || !QDBusConnection::sessionBus().isConnected())
            QSKIP("needs the X server and session bus that `make test` starts");
        // The IBus settings come from a key file in this test's XDG_CONFIG_HOME.
        qputenv("GSETTINGS_BACKEND", "keyfile");
        QVERIFY(run(QStringLiteral("setxkbmap"), {QStringLiteral("-layout"), QStringLiteral("us,de,ru")}));
        m_platform = X11Platform::create();
        QVERIFY(m_platform);
        QVERIFY(QDBusConnection::sessionBus().registerObject(QStringLiteral("/StatusNotifierWatcher"), &m_tray,
                                                             QDBusConnection::ExportAllContents));
        QVERIFY(QDBusConnection::sessionBus().registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
    }

    void cleanupTestCase()
    {
        m_platform.reset();
        run(QStringLiteral("setxkbmap"), {QStringLiteral("-layout"), QStringLiteral("us,de,ru")});
    }

    void fcitx5InputMethods()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("fcitx5")).isEmpty())
            QSKIP("fcitx5 is not installed (Debian packages fcitx5, fcitx5-chinese-addons)");
        InputSourceManager manager(provider());
        MenuBarIndicatorController indicator(manager);

        QProcess fcitx;
        startFcitx(fcitx);
        QTRY_COMPARE_WITH_TIMEOUT(provider()->providerName(), QStringLiteral("fcitx5"), 10000);
        const QStringList fcitxSources{"fcitx5:keyboard-us Keyboard - English (US) 🇺🇸",
                                       "fcitx5:keyboard-de Keyboard - German 🇩🇪", "fcitx5:pinyin Pinyin 🇨🇳"};
        QTRY_COMPARE(describe(manager.installedInputSources()), fcitxSources);

        // fcitx5 has a current input method only while an application is focused.
        ImWindow one(QStringLiteral("AppOne"));
        ImWindow two(QStringLiteral("AppTwo"));
        QVERIFY(one.id && two.id);
        QVERIFY(two.activate());
        BackendEngine engine(provider(), m_platform->applicationSource(),
                             {ruleFor(QStringLiteral("AppOne"), QStringLiteral("fcitx5:keyboard-de")),
                              ruleFor(QStringLiteral("AppTwo"), QStringLiteral("fcitx5:pinyin"))},
                             QString()); // no default: only the rules switch
        engine.shown.clear();

        // Each activation is handled before the next one (the input context of a
        // window keeps its own input method, so the current one alone proves nothing).
        const QList<std::pair<ImWindow*, QByteArray>> steps{
            {&one, "keyboard-de"}, {&two, "pinyin"}, {&one, "keyboard-de"}};
        for (qsizetype i = 0; i < steps.size(); ++i) {
            QVERIFY(steps[i].first->activate());
            QTRY_COMPARE(engine.shown.size(), i + 1);
            QCOMPARE(run(QStringLiteral("fcitx5-remote"), {QStringLiteral("-n")}).value_or(""), steps[i].second);
        }
        QCOMPARE(engine.shown,
                 (QStringList{"Keyboard - German fcitx5:keyboard-de", "Pinyin fcitx5:pinyin",
                              "Keyboard - German fcitx5:keyboard-de"}));

        // Someone else switches (a hotkey, fcitx5-remote): the tray indicator follows.
        QSignalSpy selected(provider(), &InputSourceProvider::selectedInputSourceChanged);
        QVERIFY(run(QStringLiteral("fcitx5-remote"), {QStringLiteral("-s"), QStringLiteral("pinyin")}));
        QTRY_COMPARE(indicator.currentInputSourceName(), QStringLiteral("Pinyin"));
        QCOMPARE(indicator.currentInputSourceIcon(), QStringLiteral("\U0001F1E8\U0001F1F3"));
        QVERIFY(!selected.isEmpty());

        // fcitx5 stops: the layouts take over, without a crash.
        stopProcess(fcitx);
        QTRY_COMPARE(provider()->providerName(), QStringLiteral("xkb"));
        // fcitx5 has put its own layout on the keyboard; whatever XKB has now is listed.
        QTRY_VERIFY(!manager.installedInputSources().isEmpty()
                    && manager.installedInputSources().constFirst().id.startsWith(QLatin1String("xkb:")));

        // And starts again: its list comes back.
        startFcitx(fcitx);
        QTRY_COMPARE_WITH_TIMEOUT(describe(manager.installedInputSources()), fcitxSources, 10000);
        stopProcess(fcitx);
        QTRY_COMPARE(provider()->providerName(), QStringLiteral("xkb"));
    }

    void ibusEngines()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("ibus-daemon")).isEmpty())
            QSKIP("ibus-daemon is not installed (Debian packages ibus, ibus-hangul, ibus-libpinyin)");
        if (QStandardPaths::findExecutable(QStringLiteral("gsettings")).isEmpty())
            QSKIP("gsettings is not installed (Debian package libglib2.0-bin)");
        writeIBusEngines("['xkb:us::eng', 'xkb:de::deu', 'hangul', 'libpinyin', 'not-installed']");
        InputSourceManager manager(provider());
        MenuBarIndicatorController indicator(manager);
        // No panel: nothing but Tolvane and the test changes the engine.
        const QStringList ibusArguments{QStringLiteral("--panel=disable"), QStringLiteral("--emoji-extension=disable"),
                                        QStringLiteral("--replace")};

        QProcess ibus;
        ibus.start(QStringLiteral("ibus-daemon"), ibusArguments);
        QTRY_COMPARE_WITH_TIMEOUT(provider()->providerName(), QStringLiteral("ibus"), 10000);
        // The "ibus" prefix once gave every engine the US flag.
        const QStringList ibusSources{"ibus:xkb:us::eng English (US) 🇺🇸", "ibus:xkb:de::deu German 🇩🇪",
                                      "ibus:hangul Hangul 🇰🇷", "ibus:libpinyin Intelligent Pinyin 🇨🇳"};
        QTRY_COMPARE(describe(manager.installedInputSources()), ibusSources);

        FakeApplicationSource apps;
        BackendEngine engine(provider(), &apps, {ruleFor(QStringLiteral("korean"), QStringLiteral("ibus:hangul"))},
                             QStringLiteral("ibus:xkb:us::eng"));
        const QList<std::pair<QString, QString>> steps{{"korean", "ibus:hangul"}, {"other", "ibus:xkb:us::eng"}};
        for (const auto& [app, expected] : steps) {
            apps.activate(FakeApplicationSource::app(app));
            QTRY_COMPARE_WITH_TIMEOUT(manager.currentInputSource().value_or(InputSource{}).id, expected, 10000);
        }
        QCOMPARE(engine.shown, (QStringList{"Hangul ibus:hangul", "English (US) ibus:xkb:us::eng"}));

        // Someone else changes the engine on IBus's own bus: the tray indicator follows.
        QTRY_COMPARE(indicator.currentInputSourceName(), QStringLiteral("English (US)"));
        QVERIFY(run(QStringLiteral("ibus"), {QStringLiteral("engine"), QStringLiteral("hangul")}));
        QTRY_COMPARE(indicator.currentInputSourceName(), QStringLiteral("Hangul"));
        QCOMPARE(indicator.currentInputSourceIcon(), QStringLiteral("\U0001F1F0\U0001F1F7"));

        // The user changes the engine list in the settings: the catalogue follows.
        writeIBusEngines("['xkb:us::eng', 'hangul']");
        QTRY_COMPARE_WITH_TIMEOUT(describe(manager.installedInputSources()),
                                  (QStringList{ibusSources[0], ibusSources[2]}), 10000);

        stopProcess(ibus);
        QTRY_COMPARE(provider()->providerName(), QStringLiteral("xkb"));

        writeIBusEngines("['xkb:us::eng', 'xkb:de::deu', 'hangul', 'libpinyin']");
        ibus.start(QStringLiteral("ibus-daemon"), ibusArguments);
        QTRY_COMPARE_WITH_TIMEOUT(describe(manager.installedInputSources()), ibusSources, 10000);
        stopProcess(ibus);
        QTRY_COMPARE(provider()->providerName(), QStringLiteral("xkb"));
    }

private:
    InputSourceProvider* provider() { return m_platform->inputSourceProvider(); }
    void startFcitx(QProcess& daemon)
    {
        // fcitx5 rewrites its profile when it exits, so every start writes it afresh.
        writeConfig(QStringLiteral("/fcitx5/profile"),
                    "[Groups/0]\nName=Default\nDefault Layout=us\nDefaultIM=keyboard-us\n\n"
                    "[Groups/0/Items/0]\nName=keyboard-us\nLayout=\n\n"
                    "[Groups/0/Items/1]\nName=keyboard-de\nLayout=\n\n"
                    "[Groups/0/Items/2]\nName=pinyin\nLayout=\n\n"
                    "[GroupOrder]\n0=Default\n");
        m_tray.items.clear();
        daemon.start(QStringLiteral("fcitx5"), {QStringLiteral("--replace")});
        // fcitx5 puts up its tray item a moment after it starts; switches made
        // before that are not announced on the bus.
        if (!QTest::qWaitFor([this] { return !m_tray.items.isEmpty(); }, 10000))
            qWarning("fcitx5 registered no tray item");
    }

    std::unique_ptr<X11Platform> m_platform;
    // fcitx5 puts up a tray item, through which Tolvane hears of switches made by others.
    StatusNotifierWatcherStandIn m_tray;
};

TOLVANE_TEST_MAIN(InputMethodDaemonTest)
#include "InputMethodDaemonTest.moc"
