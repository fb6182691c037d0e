// End to end on a real, headless sway: real windows (foot and a GTK window
// for Wayland, xmessage through Xwayland), real focus changes, and every
// keyboard's layout read back from sway.
#include "base/Preferences.h"
#include "core/InputSourceManager.h"
#include "core/InputSourceMemory.h"
#include "core/RuleEngine.h"
#include "core/RulesStore.h"
#include "core/WindowWatcher.h"
#include "feedback/MenuBarIndicatorController.h"
#include "platform/sway/SwayPlatform.h"
#include "platform/wayland/WaylandLayerShellOverlay.h"
#include "support/EngineHarness.h"
#include "support/HeadlessSway.h"
#include "support/RecordingLogSink.h"
#include "support/TestFiles.h"
#include "support/TestMain.h"

#include <QSignalSpy>
#include <QThread>

using tolvane::test::HeadlessSway;

class SwaySwitchingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (!HeadlessSway::isInstalled())
            QSKIP("sway is not installed (scripts/install-deps installs it)");
        // An entry that claims windows by class, as StartupWMClass does for X.
        QVERIFY(tolvane::test::writeFile(
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                + QStringLiteral("/applications/org.example.ClassyApp.desktop"),
            "[Desktop Entry]\nType=Application\nName=Classy\nExec=classy\nStartupWMClass=org.example.Classy\n"));
        // A rule of the user's own that would fight Tolvane's; it matches no window here.
        QVERIFY(m_sway.start(QStringLiteral("for_window [app_id=\"org.example.Never\"] input type:keyboard "
                                            "xkb_switch_layout 2\n")));
        QVERIFY(m_sway.addKeyboard());
        for (const char* command :
             {"foot sleep 1000000", "gtk3-widget-factory", "foot --app-id org.example.Plain sleep 1000000",
              "foot --app-id org.example.Classy sleep 1000000", "xmessage -name tolvane-test Xwayland"})
            QVERIFY(m_sway.exec(QString::fromLatin1(command)));
        for (const char* id : {"foot", "gtk3-widget-factory", "org.example.Plain", "org.example.Classy", "Xmessage"})
            QTRY_VERIFY_WITH_TIMEOUT(m_sway.hasWindow(QString::fromLatin1(id)), 10000);
        m_platform = SwayPlatform::create(m_sway.socketPath());
        QVERIFY(m_platform);
    }

    void init()
    {
        QFile::remove(RulesStore::standardPath());
        QVERIFY(m_sway.command(QStringLiteral("input type:keyboard xkb_switch_layout 0")));
    }

    void cleanupTestCase()
    {
        m_platform.reset();
        m_sway.stop();
    }

    void warnsOnceAboutLayoutRulesInTheConfig()
    {
        const QStringList warnings = m_log.lines().filter(QStringLiteral("switches layouts itself"));
        QCOMPARE(warnings.size(), 1);
        QVERIFY(warnings.first().startsWith(QStringLiteral("error: ")));
        QVERIFY(warnings.first().endsWith(
            QStringLiteral("for_window [app_id=\"org.example.Never\"] input type:keyboard xkb_switch_layout 2")));
        m_platform->warnAboutLayoutSwitchingRules();
        QCOMPARE(m_log.lines().filter(QStringLiteral("switches layouts itself")).size(), 1);
    }

    void listsTheLayoutsUnderTheirXkbNames()
    {
        QStringList listed;
        for (const auto& source : provider()->enabledInputSources().value_or(QList<InputSourceProperties>{}))
            listed.append(source.id.value_or(QString()) + QLatin1Char(' ') + source.localizedName.value_or(QString()));
        QCOMPARE(listed, (QStringList{"xkb:us English (US)", "xkb:de German", "xkb:ru Russian"}));
        QCOMPARE(provider()->currentInputSource()->id, QStringLiteral("xkb:us"));
    }

    void identifiesTheFocusedApplication_data()
    {
        QTest::addColumn<QString>("criteria");
        QTest::addColumn<QString>("bundleIdentifier");
        QTest::addColumn<QStringList>("alternatives");
        QTest::addColumn<QString>("name");
        const auto row = [](const char* tag, const QString& criteria, const QString& bundle,
                            const QStringList& alternatives,
                            const QString& name) { QTest::newRow(tag) << criteria << bundle << alternatives << name; };
        // Wayland windows: the app_id is an entry's id, no entry's at all, or an entry's window class.
        row("foot", "[app_id=\"foot\"]", "foot", {}, "Foot");
        row("GTK", "[app_id=\"gtk3-widget-factory\"]", "gtk3-widget-factory", {}, "Widget Factory");
        row("no entry", "[app_id=\"org.example.Plain\"]", "org.example.Plain", {}, "org.example.Plain");
        row("entry by window class", "[app_id=\"org.example.Classy\"]", "org.example.ClassyApp", {"org.example.Classy"},
            "Classy");
        // Xwayland windows have no app_id; their X class names them.
        row("Xwayland, class", "[class=\"Xmessage\"]", "Xmessage", {}, "Xmessage");
    }

    void identifiesTheFocusedApplication()
    {
        QFETCH(QString, criteria);
        QFETCH(QString, bundleIdentifier);
        // From elsewhere, so that the focus really moves.
        QVERIFY(m_sway.command(QStringLiteral("workspace 8")));
        QSignalSpy activated(m_platform->applicationSource(), &ApplicationSource::applicationActivated);
        QVERIFY(focus(criteria));
        QTRY_COMPARE(activated.size(), 1);
        const auto app = activated.first().first().value<RunningApplication>();
        QCOMPARE(app.bundleIdentifier, bundleIdentifier);
        QTEST(app.alternativeIdentifiers, "alternatives");
        QTEST(app.localizedName, "name");
        QVERIFY(app.processIdentifier > 0);
        QCOMPARE(app.processKey, QStringLiteral("pid:%1").arg(app.processIdentifier));
        QCOMPARE(m_platform->applicationSource()->frontmostApplication()->bundleIdentifier, bundleIdentifier);
    }

    void anEmptyWorkspaceIsNoActivation()
    {
        QSignalSpy activated(m_platform->applicationSource(), &ApplicationSource::applicationActivated);
        QVERIFY(m_sway.command(QStringLiteral("workspace 9")));
        QVERIFY(focus(QStringLiteral("[app_id=\"foot\"]")));
        QTRY_COMPARE(activated.size(), 1);
        activated.clear();
        QVERIFY(m_sway.command(QStringLiteral("workspace 9")));
        QTest::qWait(200);
        QCOMPARE(activated.size(), 0);
        QVERIFY(!m_platform->applicationSource()->frontmostApplication());
        QStringList ids;
        for (const auto& app : m_platform->applicationSource()->runningApplications())
            ids.append(app.bundleIdentifier.value_or(QString()));
        ids.sort();
        QCOMPARE(
            ids,
            (QStringList{"Xmessage", "foot", "gtk3-widget-factory", "org.example.ClassyApp", "org.example.Plain"}));
    }

    void appliesRulesAndTheDefaultOnFocus()
    {
        QVERIFY(m_sway.command(QStringLiteral("workspace 9")));
        BackendEngine engine(provider(), m_platform->applicationSource(),
                             {ruleFor(QStringLiteral("foot"), QStringLiteral("xkb:de")),
                              ruleFor(QStringLiteral("Xmessage"), QStringLiteral("xkb:ru"))},
                             QStringLiteral("xkb:us"));
        const QList<std::pair<QString, int>> steps{{"[app_id=\"foot\"]", 1},
                                                   {"[app_id=\"gtk3-widget-factory\"]", 0},
                                                   {"[class=\"Xmessage\"]", 2},
                                                   {"[app_id=\"foot\"]", 1}};
        for (const auto& [criteria, layout] : steps) {
            QVERIFY(focus(criteria));
            QTRY_COMPARE(m_sway.activeLayouts(), QList<int>{layout});
        }
        QTRY_COMPARE(engine.shown,
                     (QStringList{"German xkb:de", "English (US) xkb:us", "Russian xkb:ru", "German xkb:de"}));
    }

    void selectionSucceedsOnlyWhenSeen_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<int>("layout");
        QTest::newRow("another layout") << "xkb:ru" << true << 2;
        QTest::newRow("the layout already active") << "xkb:us" << true << 0;
        QTest::newRow("a layout no keyboard has") << "xkb:fr" << false << 0;
        QTest::newRow("an unknown description") << "xkb:Klingon" << false << 0;
    }

    void selectionSucceedsOnlyWhenSeen()
    {
        QFETCH(QString, id);
        QTEST(provider()->selectInputSource(id), "selected");
        QFETCH(int, layout);
        QCOMPARE(m_sway.activeLayouts(), QList<int>{layout});
    }

    void outsideSwitchReachesTheTrayIndicator()
    {
        InputSourceManager manager(provider());
        MenuBarIndicatorController tray(manager);
        QCOMPARE(tray.currentInputSourceName(), QStringLiteral("English (US)"));
        // The user's own layout binding, as sway runs it.
        QVERIFY(m_sway.command(QStringLiteral("input type:keyboard xkb_switch_layout 1")));
        QTRY_COMPARE(tray.currentInputSourceName(), QStringLiteral("German"));
        QCOMPARE(tray.currentInputSourceIcon(), QStringLiteral("🇩🇪"));
    }

    void aKeyboardAddedLaterGetsTheLayoutInUse()
    {
        QVERIFY(m_sway.command(QStringLiteral("workspace 9")));
        BackendEngine engine(provider(), m_platform->applicationSource(),
                             {ruleFor(QStringLiteral("foot"), QStringLiteral("xkb:ru"))}, {});
        QVERIFY(focus(QStringLiteral("[app_id=\"foot\"]")));
        QTRY_COMPARE(m_sway.activeLayouts(), QList<int>{2});
        // A second keyboard starts at its first layout; it is brought to foot's.
        QVERIFY(m_sway.addKeyboard());
        QTRY_COMPARE(m_sway.activeLayouts(), (QList<int>{2, 2}));
        QCOMPARE(provider()->currentInputSource()->id, QStringLiteral("xkb:ru"));
    }

    void theThreadSwitchesBeforeTheMainLoopWakes_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QList<int>>("layouts"); // after focusing foot, then Xmessage
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("rules") << "" << QList<int>{1, 2} << QStringList{"German xkb:de", "Russian xkb:ru"};
        QTest::newRow("a rule changed while running")
            << "retarget" << QList<int>{0, 2} << QStringList{"English (US) xkb:us", "Russian xkb:ru"};
        QTest::newRow("a rule disabled: the default")
            << "disable" << QList<int>{2, 2} << QStringList{"Russian xkb:ru", "Russian xkb:ru"};
        QTest::newRow("paused") << "pause" << QList<int>{0, 0} << QStringList{};
    }

    // Focus moves to foot and then to Xmessage; the layouts must follow while
    // the main loop does not run, and the main loop gives each switch's feedback once.
    void theThreadSwitchesBeforeTheMainLoopWakes()
    {
        QFETCH(QString, change);
        QFETCH(QList<int>, layouts);
        QFETCH(QStringList, shown);
        QVERIFY(m_sway.command(QStringLiteral("workspace 9")));
        BackendEngine engine(provider(), m_platform->applicationSource(),
                             {ruleFor(QStringLiteral("foot"), QStringLiteral("xkb:de")),
                              ruleFor(QStringLiteral("Xmessage"), QStringLiteral("xkb:ru"))},
                             QStringLiteral("xkb:ru"), m_platform.get());
        QSignalSpy switched(&engine.engine, &RuleEngine::switched);
        if (change == QLatin1String("retarget"))
            engine.engine.addRule(ruleFor(QStringLiteral("foot"), QStringLiteral("xkb:us")));
        else if (change == QLatin1String("disable"))
            engine.engine.addRule(ruleFor(QStringLiteral("foot"), QStringLiteral("xkb:de"), false));
        else if (change == QLatin1String("pause"))
            engine.engine.setPaused(true);

        const QStringList windows{QStringLiteral("[app_id=\"foot\"]"), QStringLiteral("[class=\"Xmessage\"]")};
        for (qsizetype i = 0; i < windows.size(); ++i) {
            QVERIFY(focus(windows.at(i)));
            if (layouts.at(i) != 0)
                QVERIFY(reachesLayoutWithoutTheMainLoop(layouts.at(i)));
            QTest::qWait(100);
            QVERIFY(atLayout(layouts.at(i)));
        }
        QCOMPARE(engine.shown, shown);
        QCOMPARE(switched.size(), shown.size());
    }

    // Switched by hand in foot, then to Xmessage and back: foot gets the source it
    // used, not the one the thread switched to for Xmessage.
    void remembersTheSourceInUseBeforeTheThreadSwitched()
    {
        QVERIFY(m_sway.command(QStringLiteral("workspace 9")));
        Preferences::setValue(InputSourceMemory::preferenceKey(), true);
        InputSourceMemory memory(InputSourceMemory::fileURL());
        BackendEngine engine(provider(), m_platform->applicationSource(),
                             {ruleFor(QStringLiteral("Xmessage"), QStringLiteral("xkb:ru"))}, QStringLiteral("xkb:us"),
                             m_platform.get(), &memory);
        QVERIFY(focus(QStringLiteral("[app_id=\"foot\"]")));
        QTRY_COMPARE(engine.shown, QStringList{"English (US) xkb:us"});
        QVERIFY(m_sway.command(QStringLiteral("input type:keyboard xkb_switch_layout 1")));
        QTRY_COMPARE(provider()->currentInputSource()->id, QStringLiteral("xkb:de"));

        QVERIFY(focus(QStringLiteral("[class=\"Xmessage\"]")));
        QVERIFY(reachesLayoutWithoutTheMainLoop(2));
        QTRY_COMPARE(memory.inputSource(QStringLiteral("foot")), std::optional<QString>(QStringLiteral("xkb:de")));
        QVERIFY(focus(QStringLiteral("[app_id=\"foot\"]")));
        QVERIFY(reachesLayoutWithoutTheMainLoop(1));
        QTRY_COMPARE(engine.shown.size(), 3);
        Preferences::remove(InputSourceMemory::preferenceKey());
    }

    // A window the thread has not heard of yet is the main loop's to switch.
    void aNewWindowSwitchesThroughTheMainLoop()
    {
        QVERIFY(m_sway.command(QStringLiteral("workspace 7")));
        BackendEngine engine(provider(), m_platform->applicationSource(),
                             {ruleFor(QStringLiteral("org.example.Late"), QStringLiteral("xkb:ru"))}, {},
                             m_platform.get());
        QVERIFY(m_sway.exec(QStringLiteral("foot --app-id org.example.Late sleep 1000000")));
        QTRY_VERIFY_WITH_TIMEOUT(atLayout(2), 10000);
        QTRY_COMPARE(engine.shown, QStringList{"Russian xkb:ru"});
        QVERIFY(m_sway.command(QStringLiteral("[app_id=\"org.example.Late\"] kill")));
    }

    void overlayShowsAtItsPlaceWithoutTakingFocus_data()
    {
        QTest::addColumn<int>("placement");
        QTest::addColumn<QPoint>("inside"); // the headless output is 1280 × 720
        QTest::newRow("top") << int(OverlayPresenter::Placement::Top) << QPoint(640, 80 + 20);
        QTest::newRow("center") << int(OverlayPresenter::Placement::Center) << QPoint(640, 360);
        QTest::newRow("bottom") << int(OverlayPresenter::Placement::Bottom) << QPoint(640, 720 - 80 - 20);
    }

    void overlayShowsAtItsPlaceWithoutTakingFocus()
    {
        QFETCH(int, placement);
        QFETCH(QPoint, inside);
        if (QStandardPaths::findExecutable(QStringLiteral("grim")).isEmpty())
            QSKIP("grim is not installed (scripts/install-deps installs it)");
        QVERIFY(focus(QStringLiteral("[app_id=\"foot\"]")));
        auto overlay = WaylandLayerShellOverlay::connect(m_sway.waylandDisplay());
        QVERIFY(overlay);
        QImage red(200, 40, QImage::Format_ARGB32_Premultiplied);
        red.fill(QColor(255, 0, 0));
        QVERIFY(overlay->show(red, OverlayPresenter::Placement(placement), 80));
        const auto screenshot = [this] {
            QProcess grim;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("WAYLAND_DISPLAY"), m_sway.waylandDisplay());
            grim.setProcessEnvironment(environment);
            grim.start(QStringLiteral("grim"), {QStringLiteral("-t"), QStringLiteral("ppm"), QStringLiteral("-")});
            grim.waitForFinished(5000);
            return QImage::fromData(grim.readAllStandardOutput());
        };
        // A screenshot may take seconds on a loaded machine: leave room for several.
        QTRY_COMPARE_WITH_TIMEOUT(screenshot().pixelColor(inside), QColor(255, 0, 0), 20000);
        // Above the edge of the image, the desktop shows.
        QVERIFY(screenshot().pixelColor(inside - QPoint(0, 25)) != QColor(255, 0, 0));
        QCOMPARE(m_platform->applicationSource()->frontmostApplication()->bundleIdentifier, QStringLiteral("foot"));

        overlay->setOpacity(0.5);
        QTRY_VERIFY_WITH_TIMEOUT(screenshot().pixelColor(inside).red() < 250, 20000);
        overlay->hide();
        QTRY_VERIFY_WITH_TIMEOUT(screenshot().pixelColor(inside) != QColor(255, 0, 0), 20000);
    }

private:
    // Whether every keyboard is at `layout`.
    bool atLayout(int layout)
    {
        const QList<int> layouts = m_sway.activeLayouts();
        return !layouts.isEmpty()
            && std::all_of(layouts.cbegin(), layouts.cend(), [&](int at) { return at == layout; });
    }
    // Whether every keyboard comes to `layout` while the main loop sleeps.
    bool reachesLayoutWithoutTheMainLoop(int layout)
    {
        for (const QDeadlineTimer deadline(3000); !deadline.hasExpired(); QThread::msleep(2)) {
            if (atLayout(layout))
                return true;
        }
        return false;
    }

    InputSourceProvider* provider() { return m_platform->inputSourceProvider(); }
    bool focus(const QString& criteria) { return m_sway.command(criteria + QStringLiteral(" focus")); }

    HeadlessSway m_sway;
    RecordingLogSink m_log;
    std::unique_ptr<SwayPlatform> m_platform;
};

TOLVANE_TEST_MAIN(SwaySwitchingTest)
#include "SwaySwitchingTest.moc"
