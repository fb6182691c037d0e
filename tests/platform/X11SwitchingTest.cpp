// End to end on the real X server that `make test` starts (Xvnc with the
// layouts us, de and ru, and openbox): real windows, real activations through
// the window manager, and the XKB group read back from the server.
#include "core/InputSourceManager.h"
#include "core/Preferences.h"
#include "core/RuleEngine.h"
#include "core/WindowWatcher.h"
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

} // namespace

class X11SwitchingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void listsTheLayoutGroups();
    void namesVariantsAndFollowsKeymapChanges();
    void identifiesApplications();
    void listsRunningApplications();
    void appliesRulesOnActivation();
    void handlesTheFrontApplicationAtStart();
    void noticesGroupChangesMadeElsewhere();

private:
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
    QVERIFY(m_platform->inputSourceProvider()->selectInputSource(QStringLiteral("xkb:us")));
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
    const auto current = m_platform->inputSourceProvider()->currentInputSource();
    return current && current->id ? *current->id : QString();
}

void X11SwitchingTest::startEngine()
{
    m_manager = std::make_unique<InputSourceManager>(m_platform->inputSourceProvider());
    m_watcher = std::make_unique<WindowWatcher>(m_platform->applicationSource());
    RuleEngine::Feedback feedback;
    feedback.showInputSource = [this](const QString& name, const QString& id) { m_feedback.append(name + QLatin1Char(' ') + id); };
    m_engine = std::make_unique<RuleEngine>(*m_manager, *m_watcher, std::move(feedback));
}

void X11SwitchingTest::listsTheLayoutGroups()
{
    const auto sources = m_platform->inputSourceProvider()->enabledInputSources();
    QVERIFY(sources);
    QStringList ids;
    QStringList names;
    for (const auto& source : *sources) {
        ids.append(source.id.value_or(QString()));
        names.append(source.localizedName.value_or(QString()));
    }
    QCOMPARE(ids, (QStringList{"xkb:us", "xkb:de", "xkb:ru"}));
    QCOMPARE(names, (QStringList{"English (US)", "German", "Russian"}));
    QVERIFY(!m_platform->inputSourceProvider()->selectInputSource(QStringLiteral("xkb:fr")));
}

void X11SwitchingTest::namesVariantsAndFollowsKeymapChanges()
{
    InputSourceProvider* provider = m_platform->inputSourceProvider();
    QSignalSpy changed(provider, &InputSourceProvider::enabledInputSourcesChanged);
    QVERIFY(setLayouts({QStringLiteral("-layout"), QStringLiteral("us,de,ru"), QStringLiteral("-variant"), QStringLiteral(",nodeadkeys,phonetic")}));
    QTRY_VERIFY(!changed.isEmpty());
    QStringList ids;
    const auto sources = provider->enabledInputSources();
    for (const auto& source : *sources)
        ids.append(*source.id);
    QCOMPARE(ids, (QStringList{"xkb:us", "xkb:de(nodeadkeys)", "xkb:ru(phonetic)"}));
    QVERIFY(provider->selectInputSource(QStringLiteral("xkb:ru(phonetic)")));
    QTRY_COMPARE(currentSource(), QStringLiteral("xkb:ru(phonetic)"));
    // The plain "xkb:de" of a rule made before the change no longer exists.
    QVERIFY(!provider->selectInputSource(QStringLiteral("xkb:de")));
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
    QCOMPARE(two->bundleIdentifier, std::optional<QString>(QStringLiteral("org.example.AppTwo")));
    QCOMPARE(two->localizedName, QStringLiteral("App Two"));
    QCOMPARE(two->iconName, QStringLiteral("apptwo"));
    QCOMPARE(three->bundleIdentifier, std::optional<QString>(QStringLiteral("org.example.Three")));
    QCOMPARE(one->processIdentifier, m_one->pid());
    QVERIFY(!(*one == *two));
    QVERIFY(!source->applicationForWindow(0x7ffffff0)); // no such window: no crash, no application
}

void X11SwitchingTest::listsRunningApplications()
{
    QStringList ids;
    for (const RunningApplication& app : m_platform->applicationSource()->runningApplications())
        ids.append(app.bundleIdentifier.value_or(QString()));
    QVERIFY2(ids.contains(QStringLiteral("AppOne")) && ids.contains(QStringLiteral("org.example.AppTwo"))
                 && ids.contains(QStringLiteral("org.example.Three")),
             qPrintable(ids.join(QLatin1Char(','))));
    QCOMPARE(ids.count(QStringLiteral("AppOne")), 1);
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

    QVERIFY(m_one->activate());
    QTRY_COMPARE(currentSource(), QStringLiteral("xkb:de"));

    // A disabled rule is passed over: the default applies.
    QVERIFY(m_two->activate());
    QTRY_COMPARE(currentSource(), QStringLiteral("xkb:us"));

    QVERIFY(m_three->activate());
    QTRY_COMPARE(currentSource(), QStringLiteral("xkb:ru"));
    QTRY_COMPARE(m_feedback, (QStringList{"German xkb:de", "English (US) xkb:us", "Russian xkb:ru"}));

    // The same application twice in a row is handled once.
    m_feedback.clear();
    QVERIFY(m_platform->inputSourceProvider()->selectInputSource(QStringLiteral("xkb:us")));
    QVERIFY(m_three->activate());
    QTest::qWait(100);
    QVERIFY(m_feedback.isEmpty());
    QCOMPARE(currentSource(), QStringLiteral("xkb:us"));

    // A -> B -> A applies A's rule twice.
    QVERIFY(m_one->activate());
    QTRY_COMPARE(m_feedback.size(), 1);
    QVERIFY(m_three->activate());
    QTRY_COMPARE(m_feedback.size(), 2);
    QVERIFY(m_one->activate());
    QTRY_COMPARE(m_feedback, (QStringList{"German xkb:de", "Russian xkb:ru", "German xkb:de"}));
    QTRY_COMPARE(currentSource(), QStringLiteral("xkb:de"));

    // Paused: activations change nothing.
    m_engine->setPaused(true);
    m_feedback.clear();
    QVERIFY(m_three->activate());
    QTest::qWait(100);
    QCOMPARE(currentSource(), QStringLiteral("xkb:de"));
    QVERIFY(m_feedback.isEmpty());
}

void X11SwitchingTest::handlesTheFrontApplicationAtStart()
{
    {
        startEngine();
        m_engine->addRule(ruleFor(QStringLiteral("org.example.Three"), QStringLiteral("xkb:ru")));
        cleanup();
    }
    QVERIFY(m_three->activate());
    QVERIFY(m_platform->inputSourceProvider()->selectInputSource(QStringLiteral("xkb:us")));
    QTRY_COMPARE(currentSource(), QStringLiteral("xkb:us"));
    startEngine();
    // Applied while the engine was being created, before any activation.
    QCOMPARE(m_feedback, QStringList{"Russian xkb:ru"});
    QTRY_COMPARE(currentSource(), QStringLiteral("xkb:ru"));
}

void X11SwitchingTest::noticesGroupChangesMadeElsewhere()
{
    QSignalSpy changed(m_platform->inputSourceProvider(), &InputSourceProvider::selectedInputSourceChanged);
    // Another client locks the next group, as the user's own layout hotkey would.
    QVERIFY(TestWindow::lockGroupElsewhere(1));
    QTRY_VERIFY(!changed.isEmpty());
    QTRY_COMPARE(currentSource(), QStringLiteral("xkb:de"));
}

TOLVANE_TEST_MAIN(X11SwitchingTest)
#include "X11SwitchingTest.moc"
