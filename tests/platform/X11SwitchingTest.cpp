// End to end on the real X server that `make test` starts (Xvnc with the
// layouts us, de and ru, and openbox): real windows, real activations through
// the window manager, and the XKB group read back from the server.
#include "core/Preferences.h"
#include "platform/x11/X11ApplicationSource.h"
#include "platform/x11/X11Platform.h"
#include "support/EngineHarness.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>

namespace {

bool setLayouts(const QStringList& arguments)
{
    QProcess setxkbmap;
    setxkbmap.start(QStringLiteral("setxkbmap"), arguments);
    return setxkbmap.waitForFinished(5000) && setxkbmap.exitCode() == 0;
}

// "id name" of each enabled source.
QStringList describe(InputSourceProvider* provider)
{
    QStringList result;
    for (const auto& source : provider->enabledInputSources().value_or(QList<InputSourceProperties>{}))
        result.append(source.id.value_or(QString()) + QLatin1Char(' ') + source.localizedName.value_or(QString()));
    return result;
}

} // namespace

class X11SwitchingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void listsTheLayoutGroupsAndFollowsKeymapChanges();
    void identifiesApplications();
    void appliesRulesOnActivation();
    void noticesGroupChangesMadeElsewhere();

private:
    InputSourceProvider* provider() { return m_platform->inputSourceProvider(); }
    QString currentSource();
    void startEngine();

    std::unique_ptr<X11Platform> m_platform;
    std::unique_ptr<TestWindow> m_one;
    std::unique_ptr<TestWindow> m_two;
    std::unique_ptr<TestWindow> m_three;
    std::unique_ptr<InputSourceManager> m_manager;
    std::unique_ptr<WindowWatcher> m_watcher;
    std::unique_ptr<RuleEngine> m_engine;
    QStringList m_feedback;
};

void X11SwitchingTest::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs the X server that `make test` starts");
    // A desktop entry that claims windows of class AppTwo.
    const QString applications = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                                 + QStringLiteral("/applications");
    QDir().mkpath(applications);
    QFile entry(applications + QStringLiteral("/org.example.AppTwo.desktop"));
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=App Two\nName[de]=App Zwei\nExec=apptwo\n"
                "Icon=apptwo\nStartupWMClass=AppTwo\n");
    entry.close();

    QVERIFY(setLayouts({QStringLiteral("-layout"), QStringLiteral("us,de,ru")}));
    m_platform = X11Platform::create();
    QVERIFY(m_platform);
    m_one = std::make_unique<TestWindow>(QStringLiteral("AppOne"));
    m_two = std::make_unique<TestWindow>(QStringLiteral("AppTwo"));
    m_three = std::make_unique<TestWindow>(QStringLiteral("AppThree"), QStringList{QStringLiteral("--gtk-app-id"), QStringLiteral("org.example.Three")});
    QVERIFY(m_one->isValid() && m_two->isValid() && m_three->isValid());
}

void X11SwitchingTest::init()
{
    QFile::remove(RuleEngine::rulesFileURL());
    Preferences::store().clear();
    m_feedback.clear();
    QVERIFY(provider()->selectInputSource(QStringLiteral("xkb:us")));
    QTRY_COMPARE(currentSource(), QStringLiteral("xkb:us"));
}

void X11SwitchingTest::cleanup()
{
    m_engine.reset();
    m_watcher.reset();
    m_manager.reset();
}

void X11SwitchingTest::cleanupTestCase()
{
    setLayouts({QStringLiteral("-layout"), QStringLiteral("us,de,ru")});
}

QString X11SwitchingTest::currentSource()
{
    const auto current = provider()->currentInputSource();
    return current && current->id ? *current->id : QString();
}

void X11SwitchingTest::startEngine()
{
    m_manager = std::make_unique<InputSourceManager>(provider());
    m_watcher = std::make_unique<WindowWatcher>(m_platform->applicationSource());
    RuleEngine::Feedback feedback;
    feedback.showInputSource = [this](const QString& name, const QString& id) { m_feedback.append(name + QLatin1Char(' ') + id); };
    m_engine = std::make_unique<RuleEngine>(*m_manager, *m_watcher, std::move(feedback));
}

void X11SwitchingTest::listsTheLayoutGroupsAndFollowsKeymapChanges()
{
    QCOMPARE(describe(provider()), (QStringList{"xkb:us English (US)", "xkb:de German", "xkb:ru Russian"}));
    QVERIFY(!provider()->selectInputSource(QStringLiteral("xkb:fr")));

    QSignalSpy changed(provider(), &InputSourceProvider::enabledInputSourcesChanged);
    QVERIFY(setLayouts({QStringLiteral("-layout"), QStringLiteral("us,de,ru"), QStringLiteral("-variant"), QStringLiteral(",nodeadkeys,phonetic")}));
    QTRY_VERIFY(!changed.isEmpty());
    QCOMPARE(describe(provider()),
             (QStringList{"xkb:us English (US)", "xkb:de(nodeadkeys) German (no dead keys)", "xkb:ru(phonetic) Russian (phonetic)"}));
    QVERIFY(provider()->selectInputSource(QStringLiteral("xkb:ru(phonetic)")));
    QTRY_COMPARE(currentSource(), QStringLiteral("xkb:ru(phonetic)"));
    // The plain "xkb:de" of a rule made before the change no longer exists.
    QVERIFY(!provider()->selectInputSource(QStringLiteral("xkb:de")));
    QVERIFY(setLayouts({QStringLiteral("-layout"), QStringLiteral("us,de,ru"), QStringLiteral("-variant"), QStringLiteral(",,")}));
}

void X11SwitchingTest::identifiesApplications()
{
    auto* source = qobject_cast<X11ApplicationSource*>(m_platform->applicationSource());
    QVERIFY(source);
    const auto one = source->applicationForWindow(m_one->windowId());
    const auto two = source->applicationForWindow(m_two->windowId());
    const auto three = source->applicationForWindow(m_three->windowId());
    QVERIFY(one && two && three);
    QCOMPARE(one->bundleIdentifier, std::optional<QString>(QStringLiteral("AppOne")));
    QCOMPARE(one->localizedName, QStringLiteral("AppOne"));
    QCOMPARE(one->processIdentifier, m_one->pid());
    // From the desktop entry that claims the window class, and from the GTK application id.
    QCOMPARE(two->bundleIdentifier, std::optional<QString>(QStringLiteral("org.example.AppTwo")));
    QCOMPARE(two->localizedName, QStringLiteral("App Two"));
    QCOMPARE(two->iconName, QStringLiteral("apptwo"));
    QCOMPARE(three->bundleIdentifier, std::optional<QString>(QStringLiteral("org.example.Three")));
    QVERIFY(!source->applicationForWindow(0x7ffffff0)); // no such window: no crash, no application

    QStringList running;
    for (const RunningApplication& app : source->runningApplications())
        running.append(app.bundleIdentifier.value_or(QString()));
    QCOMPARE(running.count(QStringLiteral("AppOne")), 1);
    QVERIFY(running.contains(QStringLiteral("org.example.AppTwo")) && running.contains(QStringLiteral("org.example.Three")));
}

void X11SwitchingTest::appliesRulesOnActivation()
{
    QVERIFY(m_two->activate());
    startEngine();
    m_engine->addRule(ruleFor(QStringLiteral("AppOne"), QStringLiteral("xkb:de")));
    m_engine->addRule(ruleFor(QStringLiteral("org.example.AppTwo"), QStringLiteral("xkb:ru"), false));
    m_engine->addRule(ruleFor(QStringLiteral("org.example.Three"), QStringLiteral("xkb:ru")));
    m_engine->setDefaultInputSourceID(QStringLiteral("xkb:us"));
    m_feedback.clear();

    // AppTwo's rule is disabled: the default applies.
    const QList<std::pair<TestWindow*, QString>> steps{
        {m_one.get(), "xkb:de"}, {m_two.get(), "xkb:us"}, {m_three.get(), "xkb:ru"}, {m_one.get(), "xkb:de"}};
    for (const auto& [window, expected] : steps) {
        QVERIFY(window->activate());
        QTRY_COMPARE(currentSource(), expected);
    }
    QTRY_COMPARE(m_feedback, (QStringList{"German xkb:de", "English (US) xkb:us", "Russian xkb:ru", "German xkb:de"}));

    // A new engine applies the saved rule of the frontmost application while it is created.
    cleanup();
    m_feedback.clear();
    QVERIFY(provider()->selectInputSource(QStringLiteral("xkb:us")));
    QTRY_COMPARE(currentSource(), QStringLiteral("xkb:us"));
    startEngine();
    QCOMPARE(m_feedback, QStringList{"German xkb:de"});
    QTRY_COMPARE(currentSource(), QStringLiteral("xkb:de"));
}

void X11SwitchingTest::noticesGroupChangesMadeElsewhere()
{
    QSignalSpy changed(provider(), &InputSourceProvider::selectedInputSourceChanged);
    // Another client locks the next group, as the user's own layout hotkey would.
    QVERIFY(TestWindow::lockGroupElsewhere(1));
    QTRY_VERIFY(!changed.isEmpty());
    QTRY_COMPARE(currentSource(), QStringLiteral("xkb:de"));
}

TOLVANE_TEST_MAIN(X11SwitchingTest)
#include "X11SwitchingTest.moc"
