// The real fcitx5 and IBus daemons from the distribution, one at a time, on
// the private desktop and session bus that `make test` starts, configured
// through this test's own XDG_CONFIG_HOME: the catalogue lists their input
// methods, rules switch to each, a switch made by someone else reaches the
// tray indicator, and stopping and restarting a daemon moves the catalogue to
// the keyboard layouts and back.
#include "core/Preferences.h"
#include "feedback/MenuBarIndicatorController.h"
#include "platform/x11/X11Platform.h"
#include "support/EngineHarness.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>

namespace {

QStringList fields(const QList<InputSource>& sources, QString InputSource::*field = &InputSource::id)
{
    QStringList result;
    for (const InputSource& source : sources)
        result.append(source.*field);
    return result;
}

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Writes a file below this test's XDG_CONFIG_HOME.
void writeConfig(const QString& relativePath, const QByteArray& contents)
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

void writeIBusEngines(const QByteArray& engines)
{
    writeConfig(QStringLiteral("/glib-2.0/settings/keyfile"), "[desktop/ibus/general]\npreload-engines=" + engines + "\n");
}

QDBusMessage fcitxControllerCall(const QString& method, const QVariantList& arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(QStringLiteral("org.fcitx.Fcitx5"), QStringLiteral("/controller"),
                                                          QStringLiteral("org.fcitx.Fcitx.Controller1"), method);
    message.setArguments(arguments);
    return message;
}

QString fcitxCurrent()
{
    return QDBusConnection::sessionBus().call(fcitxControllerCall(QStringLiteral("CurrentInputMethod"))).arguments().value(0).toString();
}

// A child process that is ended, and waited for, with the test.
class Child {
public:
    Child(const QString& program, const QStringList& arguments)
    {
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(program, arguments);
        m_process.waitForStarted(5000);
    }
    ~Child() { stop(); }
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }
    // Blocks, without running the event loop, until the child prints a line starting with `prefix`.
    QString waitForLine(const QByteArray& prefix, int timeoutMs = 5000)
    {
        QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            while (m_process.canReadLine()) {
                const QByteArray line = m_process.readLine().trimmed();
                if (line.startsWith(prefix))
                    return QString::fromUtf8(line);
            }
            if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning)
                return {};
            m_process.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
        }
    }
    // Forgets what the child has printed so far.
    void drain()
    {
        m_process.waitForReadyRead(0);
        m_process.readAllStandardOutput();
    }

private:
    QProcess m_process;
};

// A window of its own process with an fcitx5 input context that follows the X focus.
class ImWindow {
public:
    explicit ImWindow(const QString& className)
        : m_client(QStringLiteral(TOLVANE_IM_CLIENT), {QStringLiteral("--framework"), QStringLiteral("fcitx5"),
                                                      QStringLiteral("--class"), className})
    {
        m_id = m_client.waitForLine("window ").mid(7).toULong(nullptr, 16);
        for (int i = 0; i < 100 && m_id && !isManaged(); ++i)
            QTest::qWait(20);
    }
    bool isValid() const { return m_id != 0; }
    // Activates through the window manager and waits until the application has
    // told fcitx5 that it has the focus, as a real application does at once.
    // The event loop does not run meanwhile, so the activation reaches Tolvane afterwards.
    bool activate()
    {
        m_client.drain();
        return TestWindow::run({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(m_id)})
               && !m_client.waitForLine("focus in").isEmpty();
    }

private:
    bool isManaged() const
    {
        QProcess xprop;
        xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(m_id), QStringLiteral("WM_STATE")});
        xprop.waitForFinished(2000);
        return xprop.readAllStandardOutput().contains("Normal");
    }

    Child m_client;
    unsigned long m_id = 0;
};

} // namespace

class InputMethodDaemonTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void fcitx5InputMethods();
    void ibusEngines();

private:
    InputSourceProvider* provider() { return m_platform->inputSourceProvider(); }
    RuleEngine::Feedback recordFeedback();
    std::unique_ptr<Child> startFcitx();

    std::unique_ptr<X11Platform> m_platform;
    std::unique_ptr<Child> m_trayWatcher;
    QStringList m_feedback;
};

void InputMethodDaemonTest::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") || !QDBusConnection::sessionBus().isConnected())
        QSKIP("needs the X server and session bus that `make test` starts");
    // The IBus settings come from a key file in this test's XDG_CONFIG_HOME.
    qputenv("GSETTINGS_BACKEND", "keyfile");
    QVERIFY(run(QStringLiteral("setxkbmap"), {QStringLiteral("-layout"), QStringLiteral("us,de,ru")}));
    m_platform = X11Platform::create();
    QVERIFY(m_platform);
    // A tray, so that fcitx5 publishes its tray item (how Tolvane hears of switches made by others).
    m_trayWatcher = std::make_unique<Child>(QStringLiteral(TOLVANE_IM_CLIENT), QStringList{QStringLiteral("--framework"), QStringLiteral("sni")});
    QVERIFY(!m_trayWatcher->waitForLine("watcher").isEmpty());
}

void InputMethodDaemonTest::init()
{
    QFile::remove(RuleEngine::rulesFileURL());
    Preferences::store().clear();
    m_feedback.clear();
}

void InputMethodDaemonTest::cleanupTestCase()
{
    m_trayWatcher.reset();
    m_platform.reset();
    run(QStringLiteral("setxkbmap"), {QStringLiteral("-layout"), QStringLiteral("us,de,ru")});
}

RuleEngine::Feedback InputMethodDaemonTest::recordFeedback()
{
    RuleEngine::Feedback feedback;
    feedback.showInputSource = [this](const QString& name, const QString& id) { m_feedback.append(name + QLatin1String(" = ") + id); };
    return feedback;
}

std::unique_ptr<Child> InputMethodDaemonTest::startFcitx()
{
    // fcitx5 rewrites its profile when it exits, so every start writes it afresh.
    writeConfig(QStringLiteral("/fcitx5/profile"), "[Groups/0]\nName=Default\nDefault Layout=us\nDefaultIM=keyboard-us\n\n"
                                                   "[Groups/0/Items/0]\nName=keyboard-us\nLayout=\n\n"
                                                   "[Groups/0/Items/1]\nName=keyboard-de\nLayout=\n\n"
                                                   "[Groups/0/Items/2]\nName=pinyin\nLayout=\n\n"
                                                   "[GroupOrder]\n0=Default\n");
    auto daemon = std::make_unique<Child>(QStringLiteral("fcitx5"), QStringList{QStringLiteral("--replace")});
    // fcitx5 puts up its tray item a moment after it starts; switches made
    // before that are not announced on the bus.
    if (m_trayWatcher->waitForLine("item ", 10000).isEmpty())
        qWarning("fcitx5 registered no tray item");
    return daemon;
}

void InputMethodDaemonTest::fcitx5InputMethods()
{
    if (QStandardPaths::findExecutable(QStringLiteral("fcitx5")).isEmpty())
        QSKIP("fcitx5 is not installed (Debian packages fcitx5, fcitx5-chinese-addons)");
    InputSourceManager manager(provider());
    MenuBarIndicatorController indicator(manager);
    QCOMPARE(fields(manager.installedInputSources()), (QStringList{"xkb:us", "xkb:de", "xkb:ru"}));

    auto fcitx = startFcitx();
    QTRY_COMPARE_WITH_TIMEOUT(provider()->providerName(), QStringLiteral("fcitx5"), 10000);
    const QStringList fcitxIds{"fcitx5:keyboard-us", "fcitx5:keyboard-de", "fcitx5:pinyin"};
    QTRY_COMPARE(fields(manager.installedInputSources()), fcitxIds);
    QCOMPARE(fields(manager.installedInputSources(), &InputSource::name),
             (QStringList{"Keyboard - English (US)", "Keyboard - German", "Pinyin"}));

    // fcitx5 has a current input method only while an application is focused.
    ImWindow one(QStringLiteral("AppOne"));
    ImWindow two(QStringLiteral("AppTwo"));
    ImWindow three(QStringLiteral("AppThree"));
    QVERIFY(one.isValid() && two.isValid() && three.isValid());
    QVERIFY(two.activate());
    WindowWatcher watcher(m_platform->applicationSource());
    RuleEngine engine(manager, watcher, recordFeedback());
    engine.addRule(ruleFor(QStringLiteral("AppOne"), QStringLiteral("fcitx5:keyboard-de")));
    engine.addRule(ruleFor(QStringLiteral("AppTwo"), QStringLiteral("fcitx5:pinyin")));
    // A framework that does not run: nothing is selected.
    engine.addRule(ruleFor(QStringLiteral("AppThree"), QStringLiteral("ibus:hangul")));
    m_feedback.clear();

    // Each activation is handled before the next one (the input context of a
    // window keeps its own input method, so the current one alone proves nothing).
    const QList<std::pair<ImWindow*, QString>> steps{{&one, "keyboard-de"}, {&two, "pinyin"}, {&one, "keyboard-de"}};
    for (qsizetype i = 0; i < steps.size(); ++i) {
        QVERIFY(steps[i].first->activate());
        QTRY_COMPARE(m_feedback.size(), i + 1);
        QCOMPARE(fcitxCurrent(), steps[i].second);
    }
    QCOMPARE(m_feedback, (QStringList{"Keyboard - German = fcitx5:keyboard-de", "Pinyin = fcitx5:pinyin",
                                      "Keyboard - German = fcitx5:keyboard-de"}));
    QVERIFY(three.activate());
    QTest::qWait(150);
    QCOMPARE(m_feedback.size(), 3);

    // Someone else switches (a hotkey, fcitx5-remote): the tray indicator follows.
    QSignalSpy selected(provider(), &InputSourceProvider::selectedInputSourceChanged);
    QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("someone-else"));
    QCOMPARE(other.call(fcitxControllerCall(QStringLiteral("SetCurrentIM"), {QStringLiteral("pinyin")})).type(),
             QDBusMessage::ReplyMessage);
    QTRY_COMPARE(indicator.currentInputSourceName(), QStringLiteral("Pinyin"));
    QCOMPARE(indicator.currentInputSourceIcon(), QStringLiteral("\U0001F1E8\U0001F1F3"));
    QVERIFY(!selected.isEmpty());
    QDBusConnection::disconnectFromBus(QStringLiteral("someone-else"));

    // fcitx5 stops: the layouts take over, without a crash; rules for fcitx5 fail.
    fcitx->stop();
    QTRY_COMPARE(provider()->providerName(), QStringLiteral("xkb"));
    // fcitx5 has put its own layout on the keyboard; whatever XKB has now is listed.
    QTRY_VERIFY(!manager.installedInputSources().isEmpty()
                && manager.installedInputSources().constFirst().id.startsWith(QLatin1String("xkb:")));
    QVERIFY(!manager.selectInputSource(QStringLiteral("fcitx5:pinyin")));
    QVERIFY(one.activate());
    QTest::qWait(150);
    QCOMPARE(m_feedback.size(), 3);

    // And starts again: its list comes back.
    fcitx = startFcitx();
    QTRY_COMPARE_WITH_TIMEOUT(fields(manager.installedInputSources()), fcitxIds, 10000);
    fcitx->stop();
    QTRY_COMPARE(provider()->providerName(), QStringLiteral("xkb"));
}

void InputMethodDaemonTest::ibusEngines()
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

    auto ibus = std::make_unique<Child>(QStringLiteral("ibus-daemon"), ibusArguments);
    QTRY_COMPARE_WITH_TIMEOUT(provider()->providerName(), QStringLiteral("ibus"), 10000);
    const QStringList ibusIds{"ibus:xkb:us::eng", "ibus:xkb:de::deu", "ibus:hangul", "ibus:libpinyin"};
    QTRY_COMPARE(fields(manager.installedInputSources()), ibusIds);
    QCOMPARE(fields(manager.installedInputSources(), &InputSource::name),
             (QStringList{"English (US)", "German", "Hangul", "Intelligent Pinyin"}));

    FakeApplicationSource apps;
    WindowWatcher watcher(&apps);
    RuleEngine engine(manager, watcher, recordFeedback());
    engine.addRule(ruleFor(QStringLiteral("korean"), QStringLiteral("ibus:hangul")));
    engine.addRule(ruleFor(QStringLiteral("chinese"), QStringLiteral("ibus:libpinyin")));
    engine.addRule(ruleFor(QStringLiteral("german"), QStringLiteral("ibus:xkb:de::deu")));
    engine.setDefaultInputSourceID(QStringLiteral("ibus:xkb:us::eng"));
    const QList<std::pair<QString, QString>> steps{{"korean", "ibus:hangul"}, {"chinese", "ibus:libpinyin"},
                                                   {"german", "ibus:xkb:de::deu"}, {"other", "ibus:xkb:us::eng"}};
    for (const auto& [app, expected] : steps) {
        apps.activate(FakeApplicationSource::app(app));
        QTRY_COMPARE_WITH_TIMEOUT(manager.currentInputSource().value_or(InputSource{}).id, expected, 10000);
    }
    QCOMPARE(m_feedback, (QStringList{"Hangul = ibus:hangul", "Intelligent Pinyin = ibus:libpinyin", "German = ibus:xkb:de::deu",
                                      "English (US) = ibus:xkb:us::eng"}));

    // Someone else changes the engine on IBus's own bus: the tray indicator follows.
    QTRY_COMPARE(indicator.currentInputSourceName(), QStringLiteral("English (US)"));
    QVERIFY(run(QStringLiteral("ibus"), {QStringLiteral("engine"), QStringLiteral("hangul")}));
    QTRY_COMPARE(indicator.currentInputSourceName(), QStringLiteral("Hangul"));
    QCOMPARE(indicator.currentInputSourceIcon(), QStringLiteral("\U0001F1F0\U0001F1F7"));

    // The user changes the engine list in the settings: the catalogue follows.
    writeIBusEngines("['xkb:us::eng', 'hangul']");
    QTRY_COMPARE_WITH_TIMEOUT(fields(manager.installedInputSources()), (QStringList{"ibus:xkb:us::eng", "ibus:hangul"}), 10000);

    ibus->stop();
    QTRY_COMPARE(provider()->providerName(), QStringLiteral("xkb"));
    QTRY_VERIFY(!manager.installedInputSources().isEmpty()
                && manager.installedInputSources().constFirst().id.startsWith(QLatin1String("xkb:")));
    QVERIFY(!manager.selectInputSource(QStringLiteral("ibus:hangul")));

    writeIBusEngines("['xkb:us::eng', 'xkb:de::deu', 'hangul', 'libpinyin']");
    ibus = std::make_unique<Child>(QStringLiteral("ibus-daemon"), ibusArguments);
    QTRY_COMPARE_WITH_TIMEOUT(fields(manager.installedInputSources()), ibusIds, 10000);
    ibus->stop();
    QTRY_COMPARE(provider()->providerName(), QStringLiteral("xkb"));
    run(QStringLiteral("setxkbmap"), {QStringLiteral("-layout"), QStringLiteral("us,de,ru")});
}

TOLVANE_TEST_MAIN(InputMethodDaemonTest)
#include "InputMethodDaemonTest.moc"
