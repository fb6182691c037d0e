// End to end on the real X server that `make test` starts (Xvnc with the
// layouts us, de and ru, and openbox): real windows, real activations through
// the window manager, and the XKB group read back from the server.
#include "base/Preferences.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "platform/x11/X11ApplicationSource.h"
#include "platform/x11/X11Platform.h"
#include "platform/x11/X11SwitchingThread.h"
#include "support/EngineHarness.h"
#include "support/TestFiles.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <thread>

using tolvane::test::writeFile;

namespace {

// Gives a window two icons, 16 pixels red and 48 pixels blue, as a toolkit would.
bool setWindowIcons(unsigned long window)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    std::vector<long> values;
    for (const auto& [side, argb] : {std::pair{16L, 0xffff0000L}, std::pair{48L, 0xff0000ffL}}) {
        values.push_back(side);
        values.push_back(side);
        values.insert(values.end(), size_t(side * side), argb);
    }
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values.data()), int(values.size()));
    XSync(display, False);
    XCloseDisplay(display);
    return true;
}

bool setLayouts(const QString& variants = QStringLiteral(",,"))
{
    return tolvane::test::runProgram(
               QStringLiteral("setxkbmap"),
               {QStringLiteral("-layout"), QStringLiteral("us,de,ru"), QStringLiteral("-variant"), variants})
        .has_value();
}

// "id name" of each enabled source.
QStringList describe(InputSourceProvider* provider)
{
    QStringList result;
    for (const auto& source : provider->enabledInputSources().value_or(QList<InputSourceProperties>{}))
        result.append(source.id.value_or(QString()) + QLatin1Char(' ') + source.localizedName.value_or(QString()));
    return result;
}

// The XKB group locked `ms` from now, or as soon as it is `awaited`, read by
// another client while this thread's event loop does not run: what only the
// switching thread can have done.
int lockedGroupWithoutMainLoop(int ms, int awaited = -1)
{
    Display* display = XkbOpenDisplay(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (!display)
        return -1;
    XkbStateRec state{};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        XkbGetState(display, XkbUseCoreKbd, &state);
        if (state.locked_group == awaited)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } while (std::chrono::steady_clock::now() < deadline);
    XCloseDisplay(display);
    return state.locked_group;
}

} // namespace

class X11SwitchingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs the X server that `make test` starts");
        // A desktop entry that claims windows of class AppTwo.
        QVERIFY(writeFile(applicationsFolder() + QStringLiteral("/org.example.AppTwo.desktop"),
                          "[Desktop Entry]\nType=Application\nName=App Two\nName[de]=App Zwei\nExec=apptwo\n"
                          "Icon=apptwo\nStartupWMClass=AppTwo\n"));

        QVERIFY(setLayouts());
        m_platform = X11Platform::create();
        QVERIFY(m_platform);
        m_windows.push_back(std::make_unique<TestWindow>(QStringLiteral("AppOne")));
        m_windows.push_back(std::make_unique<TestWindow>(QStringLiteral("AppTwo")));
        m_windows.push_back(std::make_unique<TestWindow>(
            QStringLiteral("AppThree"),
            QStringList{QStringLiteral("--gtk-app-id"), QStringLiteral("org.example.Three")}));
        for (const auto& window : m_windows)
            QVERIFY(window->isValid());
        QVERIFY(setWindowIcons(m_windows[0]->windowId()));
        QVERIFY(setWindowIcons(m_windows[1]->windowId()));
    }

    void init()
    {
        // Each test's engine starts from its own rules.
        QFile::remove(RulesStore::standardPath());
        QVERIFY(provider()->selectInputSource(QStringLiteral("xkb:us")));
        QTRY_COMPARE(currentSource(), QStringLiteral("xkb:us"));
    }

    void cleanupTestCase() { setLayouts(); }

    void listsTheLayoutGroupsAndFollowsKeymapChanges()
    {
        QCOMPARE(describe(provider()), (QStringList{"xkb:us English (US)", "xkb:de German", "xkb:ru Russian"}));
        QVERIFY(!provider()->selectInputSource(QStringLiteral("xkb:fr")));

        QSignalSpy changed(provider(), &InputSourceProvider::enabledInputSourcesChanged);
        QVERIFY(setLayouts(QStringLiteral(",nodeadkeys,phonetic")));
        QTRY_VERIFY(!changed.isEmpty());
        QCOMPARE(describe(provider()),
                 (QStringList{"xkb:us English (US)", "xkb:de(nodeadkeys) German (no dead keys)",
                              "xkb:ru(phonetic) Russian (phonetic)"}));
        QVERIFY(provider()->selectInputSource(QStringLiteral("xkb:ru(phonetic)")));
        QTRY_COMPARE(currentSource(), QStringLiteral("xkb:ru(phonetic)"));
        // The plain "xkb:de" of a rule made before the change no longer exists.
        QVERIFY(!provider()->selectInputSource(QStringLiteral("xkb:de")));
        QVERIFY(setLayouts());
    }

    void identifiesTheActiveApplication_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<QString>("bundle");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<int>("windowIconSide"); // of the window's own icon taken; 0: none, -1: not checked

        // Without a desktop entry, the window's own icon, at the size nearest above 32 pixels.
        QTest::newRow("window class") << 0 << QString("AppOne") << QString("AppOne") << QString() << 48;
        QTest::newRow("desktop entry claiming the class")
            << 1 << QString("org.example.AppTwo") << QString("App Two") << QString("apptwo") << 0;
        QTest::newRow("GTK application id")
            << 2 << QString("org.example.Three") << QString("AppThree") << QString() << -1;
    }

    // And lists it once among the running applications.
    void identifiesTheActiveApplication()
    {
        QFETCH(int, window);
        QFETCH(QString, bundle);
        QVERIFY(m_windows[window]->activate());
        const auto app = m_platform->applicationSource()->frontmostApplication();
        QVERIFY(app);
        QCOMPARE(app->bundleIdentifier, std::optional<QString>(bundle));
        QTEST(app->localizedName, "name");
        QTEST(app->iconName, "icon");
        QCOMPARE(app->processIdentifier, m_windows[window]->pid());

        QList<RunningApplication> listed;
        for (const RunningApplication& running : m_platform->applicationSource()->runningApplications()) {
            if (running.bundleIdentifier == bundle)
                listed.append(running);
        }
        QCOMPARE(listed.size(), 1);
        QFETCH(int, windowIconSide);
        if (windowIconSide >= 0)
            QCOMPARE(listed[0].icon.width(), windowIconSide);
        if (windowIconSide > 0)
            QCOMPARE(listed[0].icon.pixelColor(8, 8), QColor(Qt::blue));
        // A window that is gone already: no crash, no application.
        auto* source = qobject_cast<X11ApplicationSource*>(m_platform->applicationSource());
        QVERIFY(source && !source->applicationForWindow(0x7ffffff0));
    }

    void switchesAheadOfTheMainLoop_data()
    {
        QTest::addColumn<QString>("change"); // made while running, before the activation
        QTest::addColumn<int>("ahead"); // the group locked before the main loop runs again
        QTest::addColumn<QString>("after"); // the source once it has run
        QTest::newRow("by rule") << "" << 1 << "xkb:de";
        QTest::newRow("by a rule changed while running") << "rule to ru" << 2 << "xkb:ru";
        QTest::newRow("paused: nothing") << "pause" << 0 << "xkb:us";
        // Its names changed: unknown to the thread until read again.
        QTest::newRow("window not known yet: by the main loop") << "rename" << 0 << "xkb:ru";
    }

    // With feedback once per activation, from the main loop.
    void switchesAheadOfTheMainLoop()
    {
        QFETCH(QString, change);
        TestWindow window(QStringLiteral("Ahead"));
        QVERIFY(window.isValid());
        BackendEngine engine(provider(), m_platform->applicationSource(),
                             {ruleFor(QStringLiteral("Ahead"), QStringLiteral("xkb:de")),
                              ruleFor(QStringLiteral("Renamed"), QStringLiteral("xkb:ru"))},
                             QStringLiteral("xkb:us"), m_platform.get());
        QTest::qWait(50); // the thread's first table
        // Two activations the thread sees, so that it knows which application is in front.
        for (const auto& other : {m_windows[2].get(), m_windows[1].get()}) {
            QVERIFY(other->activate());
            QTRY_COMPARE(engine.watcher.activeApp().processIdentifier, other->pid());
        }
        QTRY_COMPARE(currentSource(), QStringLiteral("xkb:us"));

        if (change == QLatin1String("rule to ru"))
            engine.engine.addRule(ruleFor(QStringLiteral("Ahead"), QStringLiteral("xkb:ru")));
        else if (change == QLatin1String("pause"))
            engine.engine.setPaused(true);
        else if (change == QLatin1String("rename"))
            QVERIFY(TestWindow::run({"set_window", "--class", "Renamed", window.windowIdText()}));
        QTest::qWait(50);
        engine.shown.clear();

        QVERIFY(window.activate());
        QFETCH(int, ahead);
        QCOMPARE(lockedGroupWithoutMainLoop(ahead == 0 ? 300 : 2000, ahead), ahead);
        QFETCH(QString, after);
        QTRY_COMPARE(currentSource(), after);
        QTRY_COMPARE(engine.watcher.activeApp().processIdentifier, window.pid());
        QTest::qWait(50);
        QCOMPARE(engine.shown.size(), change == QLatin1String("pause") ? 0 : 1);
    }

    // Each side counts the changes of the active window it reads; the main
    // thread waits until the switching thread has handled the last it read.
    void tellsChangesWithinOneMillisecondApart_data()
    {
        QTest::addColumn<QList<uint>>("handled"); // server times of the changes the thread handled
        QTest::addColumn<QList<uint>>("read"); // and of those the main thread read
        QTest::addColumn<bool>("caughtUp");
        QTest::newRow("the second of one millisecond not handled yet")
            << QList<uint>{100} << QList<uint>{100, 100} << false;
        QTest::newRow("both of one millisecond handled") << QList<uint>{100, 100} << QList<uint>{100, 100} << true;
        QTest::newRow("a later one handled") << QList<uint>{100, 101} << QList<uint>{100, 100} << true;
        QTest::newRow("one millisecond behind") << QList<uint>{100} << QList<uint>{100, 101} << false;
        QTest::newRow("server time wrapped around") << QList<uint>{0xffffffffu, 2} << QList<uint>{0xffffffffu} << true;
    }

    void tellsChangesWithinOneMillisecondApart()
    {
        const auto lastMark = [](const QList<uint>& times) {
            X11SwitchingThread::ActivationMark mark;
            for (const uint time : times)
                mark = mark.following(time);
            return mark;
        };
        QFETCH(QList<uint>, handled);
        QFETCH(QList<uint>, read);
        QTEST(lastMark(handled).isAtOrAfter(lastMark(read)), "caughtUp");
    }

    // Switched by hand in one application, then away and back: it gets that
    // source again, not the one the thread locked for the next application.
    void remembersTheSourceInUseBeforeTheThreadSwitched()
    {
        Preferences::setValue(InputSourceMemory::preferenceKey(), true);
        InputSourceMemory memory(InputSourceMemory::fileURL());
        BackendEngine engine(provider(), m_platform->applicationSource(),
                             {ruleFor(QStringLiteral("org.example.AppTwo"), QStringLiteral("xkb:ru"))},
                             QStringLiteral("xkb:us"), m_platform.get(), &memory);
        QTest::qWait(50); // the thread's first table
        const auto toFront = [&](TestWindow& window, int group) {
            QVERIFY(window.activate());
            // Only the thread has switched when the main loop reads the activation:
            // the news of both come in one batch.
            QCOMPARE(lockedGroupWithoutMainLoop(2000, group), group);
            QTRY_COMPARE(engine.watcher.activeApp().processIdentifier, window.pid());
        };
        QVERIFY(m_windows[2]->activate());
        QTRY_COMPARE(engine.watcher.activeApp().processIdentifier, m_windows[2]->pid());
        QVERIFY(m_windows[0]->activate());
        QTRY_COMPARE(engine.watcher.activeApp().processIdentifier, m_windows[0]->pid());
        QVERIFY(TestWindow::lockGroupElsewhere(1)); // de by hand in AppOne
        QTRY_COMPARE(currentSource(), QStringLiteral("xkb:de"));

        toFront(*m_windows[1], 2);
        QCOMPARE(memory.inputSource(QStringLiteral("AppOne")), std::optional<QString>(QStringLiteral("xkb:de")));
        QTest::qWait(50); // the thread's table learns the remembered source
        toFront(*m_windows[0], 1);
        QCOMPARE(memory.inputSource(QStringLiteral("org.example.AppTwo")),
                 std::optional<QString>(QStringLiteral("xkb:ru")));
        Preferences::remove(InputSourceMemory::preferenceKey());
    }

    // A flood of activations from another X client while Tolvane runs (a script,
    // a window switcher held down): the rule of the window left in front is the
    // layout within 2 s of the last one, and no stale activation lands after it.
    void floodOfActivationsEndsOnTheLastWindow()
    {
        // Not AppThree in front at the start, or ending there would be no change.
        QVERIFY(m_windows[0]->activate());
        QElapsedTimer clock;
        clock.start();
        qint64 lastSwitch = 0;
        int switches = 0;
        BackendEngine engine(provider(), m_platform->applicationSource(),
                             {ruleFor(QStringLiteral("AppOne"), QStringLiteral("xkb:de")),
                              ruleFor(QStringLiteral("org.example.AppTwo"), QStringLiteral("xkb:us")),
                              ruleFor(QStringLiteral("org.example.Three"), QStringLiteral("xkb:ru"))},
                             {});
        QObject::connect(&engine.engine, &RuleEngine::switched, [&] {
            lastSwitch = clock.elapsed();
            ++switches;
        });

        // The window manager's own pace is not what is measured here: the flood
        // sets _NET_ACTIVE_WINDOW itself, as fast as the X server takes it, and
        // ends on AppThree (9,999 changes cycling AppOne, AppTwo, AppThree).
        QVERIFY(TestWindow::flood(9999, {m_windows[0].get(), m_windows[1].get(), m_windows[2].get()}));
        const qint64 sent = clock.elapsed();
        QTRY_COMPARE_WITH_TIMEOUT(currentSource(), QStringLiteral("xkb:ru"), 2000);
        // The backlog is clear once nothing has switched for half a second; the
        // last switch, the one that stays, came within the 2 s.
        for (int seen = -1; seen != switches;) {
            seen = switches;
            QTest::qWait(500);
        }
        QCOMPARE(currentSource(), QStringLiteral("xkb:ru"));
        QVERIFY2(lastSwitch - sent < 2000, qPrintable(QString::number(lastSwitch - sent)));
        QCOMPARE(m_platform->applicationSource()->frontmostApplication()->bundleIdentifier,
                 std::optional<QString>(QStringLiteral("org.example.Three")));
        QVERIFY(m_windows[2]->activate()); // the window manager's idea again
    }

    void applicationsSharingAProcessAreTwo_data()
    {
        QTest::addColumn<QStringList>("first"); // test-window arguments
        QTest::addColumn<QStringList>("second");
        QTest::addColumn<QString>("firstId");
        QTest::addColumn<QString>("secondId");
        QTest::newRow("one pid, two window classes")
            << QStringList{"--class", "libreoffice-writer", "--pid", "4242"}
            << QStringList{"--class", "libreoffice-calc", "--pid", "4242"} << "libreoffice-writer"
            << "libreoffice-calc";
        QTest::newRow("sandboxed apps reporting pid 2")
            << QStringList{"--class", "Mail", "--pid", "2", "--gtk-app-id", "org.example.Mail"}
            << QStringList{"--class", "Chat", "--pid", "2", "--gtk-app-id", "org.example.Chat"} << "org.example.Mail"
            << "org.example.Chat";
    }

    // Each is switched to on its own, and each is a row of the running applications.
    void applicationsSharingAProcessAreTwo()
    {
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        QFETCH(QString, firstId);
        QFETCH(QString, secondId);
        TestWindow one(first.at(1), first.mid(2));
        TestWindow two(second.at(1), second.mid(2));
        QVERIFY(one.isValid() && two.isValid());

        BackendEngine engine(provider(), m_platform->applicationSource(),
                             {ruleFor(firstId, QStringLiteral("xkb:de")), ruleFor(secondId, QStringLiteral("xkb:ru"))},
                             {});
        QVERIFY(m_windows[0]->activate());
        QTRY_COMPARE(engine.watcher.activeApp().bundleIdentifier, std::optional<QString>(QStringLiteral("AppOne")));
        for (const auto& [window, expected] :
             QList<std::pair<TestWindow*, QString>>{{&one, "xkb:de"}, {&two, "xkb:ru"}, {&one, "xkb:de"}}) {
            QVERIFY(window->activate());
            QTRY_COMPARE(currentSource(), expected);
        }
        QCOMPARE(runningIds().count(firstId), 1);
        QCOMPARE(runningIds().count(secondId), 1);
    }

    void ruleSurvivesAnEntryInstalledWhileRunning_data()
    {
        QTest::addColumn<QString>("windowClass");
        QTest::addColumn<QString>("ruleFor");
        QTest::addColumn<QString>("beforeInstall"); // the source selected before the entry exists
        QTest::newRow("rule made under the window class") << QString("LateOne") << QString("LateOne") << "xkb:de";
        QTest::newRow("rule made under the entry's id")
            << QString("LateTwo") << QString("org.example.LateTwo") << "xkb:us";
    }

    // An application installed while Tolvane runs changes its id; the rule matches
    // before, after, and after a restart.
    void ruleSurvivesAnEntryInstalledWhileRunning()
    {
        QFETCH(QString, windowClass);
        QFETCH(QString, ruleFor);
        TestWindow window(windowClass);
        QVERIFY(window.isValid());
        InputSourceManager manager(provider());
        auto watcher = std::make_unique<WindowWatcher>(m_platform->applicationSource());
        RulesStore store;
        auto engine = std::make_unique<RuleEngine>(manager, *watcher, store, RuleEngine::Feedback{});
        engine->addRule(::ruleFor(ruleFor, QStringLiteral("xkb:de")));
        engine->setDefaultInputSourceID(QStringLiteral("xkb:us"));
        // Brought to the front and seen there: the next activation is surely a change.
        const auto toFront = [&watcher](TestWindow& w) {
            QVERIFY(w.activate());
            QTRY_COMPARE(watcher->activeApp().processIdentifier, w.pid());
        };
        // From another application (that falls back to us) to the late one, from ru.
        const auto switchesTo = [&](const QString& expected) {
            toFront(*m_windows[1]);
            toFront(*m_windows[0]);
            QTRY_COMPARE(currentSource(), QStringLiteral("xkb:us"));
            QVERIFY(provider()->selectInputSource(QStringLiteral("xkb:ru")));
            toFront(window);
            QTRY_COMPARE(currentSource(), expected);
        };
        QFETCH(QString, beforeInstall);
        switchesTo(beforeInstall);

        const QString entryId = QStringLiteral("org.example.") + windowClass;
        QSignalSpy rebuilt(&DesktopEntryIndex::shared(), &DesktopEntryIndex::changed);
        QVERIFY(writeFile(
            applicationsFolder() + QLatin1Char('/') + entryId + QStringLiteral(".desktop"),
            "[Desktop Entry]\nType=Application\nName=Late\nExec=late\nStartupWMClass=" + windowClass.toUtf8() + "\n"));
        QTRY_COMPARE(rebuilt.size(), 1);
        QVERIFY(runningIds().contains(entryId));
        switchesTo(QStringLiteral("xkb:de"));

        // Restarted: a new connection, watcher and engine that read the rules from the file.
        engine.reset();
        watcher.reset();
        auto platform = X11Platform::create();
        watcher = std::make_unique<WindowWatcher>(platform->applicationSource());
        RulesStore restartedStore;
        engine = std::make_unique<RuleEngine>(manager, *watcher, restartedStore, RuleEngine::Feedback{});
        switchesTo(QStringLiteral("xkb:de"));
    }

private:
    InputSourceProvider* provider() { return m_platform->inputSourceProvider(); }
    QString currentSource()
    {
        const auto current = provider()->currentInputSource();
        return current && current->id ? *current->id : QString();
    }

    QStringList runningIds()
    {
        QStringList ids;
        for (const RunningApplication& app : m_platform->applicationSource()->runningApplications())
            ids.append(app.bundleIdentifier.value_or(QString()));
        return ids;
    }
    static QString applicationsFolder()
    {
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/applications");
    }

    std::unique_ptr<X11Platform> m_platform;
    std::vector<std::unique_ptr<TestWindow>> m_windows; // AppOne, AppTwo, AppThree
};

TOLVANE_TEST_MAIN(X11SwitchingTest)
#include "X11SwitchingTest.moc"
