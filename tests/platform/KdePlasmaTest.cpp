// The KDE Plasma backend against a real, headless KWin with GTK 3 windows on
// Wayland and on Xwayland.
#include "support/EngineHarness.h"
#include "support/KWinSession.h"
#include "support/TestFiles.h"
#include "support/TestMain.h"

#include "feedback/MenuBarIndicatorController.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "platform/freedesktop/XkbRegistry.h"
#include "platform/kde/KWinActivationScript.h"
#include "platform/kde/KWinApplicationSource.h"
#include "platform/kde/KdeKeyboardLayoutProvider.h"
#include "platform/kde/KdePlatform.h"
#include "platform/kde/KxkbConfig.h"

#include <QSignalSpy>

using tolvane::test::KWinSession;

namespace {

const QString kWaylandApp = QStringLiteral("org.kelvora.TestWriter");
const QString kX11Class = QStringLiteral("Tolvane-X11-Test");

// Tolvane's own bus object, as far as the pause goes.
class PauseReceiver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.kelvora.Tolvane1")
public:
    int toggles = 0;
public Q_SLOTS:
    void TogglePause() { ++toggles; }
};

} // namespace

class KdePlasmaTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (!KWinSession::isAvailable())
            QSKIP("kwin_wayland is not installed (scripts/install-deps installs it)");
        m_kwin = std::make_unique<KWinSession>();
        QVERIFY2(m_kwin->isRunning(), qPrintable(m_kwin->error()));

        // The Wayland window's id has a desktop entry; the X11 class has none.
        const QString applications = m_kwin->path(QStringLiteral("applications"));
        QVERIFY(tolvane::test::writeFile(applications + QLatin1Char('/') + kWaylandApp + QStringLiteral(".desktop"),
                                         "[Desktop Entry]\nType=Application\nName=Test Writer\nExec=true\n"));
        m_entries = std::make_unique<DesktopEntryIndex>(QStringList{applications});

        m_source = std::make_unique<KWinApplicationSource>(m_kwin->bus(), *m_entries,
                                                           m_kwin->path(QStringLiteral("run/tolvane-kwin.js")));
        QSignalSpy reported(m_source.get(), &KWinApplicationSource::scriptReported);
        QVERIFY(m_source->start());
        QVERIFY(m_kwin->isScriptLoaded(QString::fromLatin1(KWinActivationScript::kPluginName)));
        if (!reported.wait(5000))
            QFAIL(tolvane::test::readFile(m_kwin->path(QStringLiteral("kwin.log"))).right(3000).constData());

        m_layouts = std::make_unique<KdeKeyboardLayoutProvider>(m_kwin->bus(), XkbRegistry::system(), [this] {
            return KxkbConfig::parse({tolvane::test::readFile(m_kwin->kxkbrcPath())});
        });

        m_waylandWindow = m_kwin->openWindow(kWaylandApp, QStringLiteral("wayland"));
        QVERIFY(m_waylandWindow > 0);
        m_x11Window = m_kwin->openWindow(kX11Class, QStringLiteral("x11"));
        QVERIFY(m_x11Window > 0);
    }

    void activationsNameTheApplication_data()
    {
        QTest::addColumn<bool>("wayland");
        QTest::addColumn<QString>("bundle");
        QTest::addColumn<QString>("name");
        // A Wayland window's app id finds its desktop entry.
        QTest::newRow("wayland app id") << true << kWaylandApp << QStringLiteral("Test Writer");
        // KWin gives an X11 window's class in lower case, and no desktop file name.
        QTest::newRow("x11 class") << false << kX11Class.toLower() << kX11Class.toLower();
    }

    void activationsNameTheApplication()
    {
        QFETCH(bool, wayland);
        QFETCH(QString, bundle);
        QFETCH(QString, name);
        const qint64 pid = wayland ? m_waylandWindow : m_x11Window;
        // From the other window, so that this one's activation is news.
        QVERIFY(activate(wayland ? m_x11Window : m_waylandWindow));
        QCOMPARE(activate(pid).value_or(RunningApplication()).bundleIdentifier, bundle);
        const RunningApplication front = m_source->frontmostApplication().value_or(RunningApplication());
        QCOMPARE(front.bundleIdentifier, bundle);
        QCOMPARE(front.localizedName, name);
        QCOMPARE(front.processIdentifier, pid);
        const auto frame = m_source->activeWindowFrame();
        QVERIFY(frame && frame->width() > 0 && frame->height() > 0);
    }

    void runningApplicationsListTheWindows()
    {
        const auto listed = [this](const QString& bundle) {
            const QList<RunningApplication> apps = m_source->runningApplications();
            return std::any_of(apps.cbegin(), apps.cend(),
                               [&bundle](const RunningApplication& app) { return app.bundleIdentifier == bundle; });
        };
        QVERIFY(listed(kWaylandApp) && listed(kX11Class.toLower()));
        const qint64 extra = m_kwin->openWindow(QStringLiteral("org.kelvora.Passing"), QStringLiteral("wayland"));
        QVERIFY(extra > 0);
        QTRY_VERIFY(listed(QStringLiteral("org.kelvora.Passing")));
        m_kwin->closeWindow(extra);
        QTRY_VERIFY(!listed(QStringLiteral("org.kelvora.Passing")));
    }

    void layoutsHaveTheXkbIdentifiers()
    {
        const auto sources = m_layouts->enabledInputSources();
        QVERIFY(sources);
        QStringList layouts;
        for (const InputSourceProperties& source : *sources)
            layouts.append(source.id.value_or(QString()) + u' ' + source.localizedName.value_or(QString()));
        QCOMPARE(layouts, (QStringList{"xkb:us English (US)", "xkb:de German", "xkb:de(neo) German (Neo 2)"}));
        QCOMPARE(sources->at(1).countryCode, QStringLiteral("DE"));
    }

    void selectionSucceedsOnlyForKnownLayouts()
    {
        QVERIFY(m_layouts->selectInputSource(QStringLiteral("xkb:de(neo)")));
        QCOMPARE(m_kwin->currentLayout(), 2);
        QCOMPARE(m_layouts->currentInputSource()->id, QStringLiteral("xkb:de(neo)"));
        // The current one again is still a selection KWin accepts.
        QVERIFY(m_layouts->selectInputSource(QStringLiteral("xkb:de(neo)")));
        QVERIFY(!m_layouts->selectInputSource(QStringLiteral("xkb:fr")));
        QVERIFY(!m_layouts->selectInputSource(QStringLiteral("xkb:de(nodeadkeys)")));
        QCOMPARE(m_kwin->currentLayout(), 2);
        QVERIFY(m_layouts->selectInputSource(QStringLiteral("xkb:us")));
        QCOMPARE(m_kwin->currentLayout(), 0);
    }

    void outsideSwitchIsAnnounced()
    {
        QVERIFY(m_layouts->selectInputSource(QStringLiteral("xkb:us")));
        InputSourceManager manager(m_layouts.get());
        MenuBarIndicatorController tray(manager);
        QSignalSpy changed(m_layouts.get(), &InputSourceProvider::selectedInputSourceChanged);
        QVERIFY(m_kwin->switchLayoutOutside(1));
        QVERIFY(changed.wait(5000));
        QTRY_COMPARE(tray.currentInputSourceName(), QStringLiteral("German"));
        QCOMPARE(tray.currentInputSourceIcon(), QStringLiteral("🇩🇪"));
    }

    void scriptOfACrashedTolvaneIsReplacedAndUnloadedAtStop()
    {
        const QString name = QString::fromLatin1(KWinActivationScript::kPluginName);
        {
            // Another connection stands in for a Tolvane that died with its script loaded.
            KWinActivationScript stale(m_kwin->bus(), QStringLiteral("/nowhere"), QStringLiteral("com.example.Dead"));
            QVERIFY(stale.load(m_kwin->path(QStringLiteral("run/stale.js"))));
        }
        QVERIFY(m_kwin->isScriptLoaded(name));
        // A new start replaces it: activations reach the new source again.
        QVERIFY(m_source->start());
        QVERIFY(activate(m_x11Window));
        QVERIFY(activate(m_waylandWindow));

        m_source->stop();
        QVERIFY(!m_kwin->isScriptLoaded(name));
        QSignalSpy reported(m_source.get(), &KWinApplicationSource::scriptReported);
        QVERIFY(m_source->start());
        QVERIFY(m_kwin->isScriptLoaded(name));
        QVERIFY(reported.wait(5000));
    }

    void callsFromOthersThanKWinAreIgnored()
    {
        QVERIFY(activate(m_waylandWindow));
        QSignalSpy activated(m_source.get(), &ApplicationSource::applicationActivated);
        // Any client of the bus can call the object (the test's connection is not KWin's); only KWin is believed.
        QDBusMessage forged = QDBusMessage::createMethodCall(
            m_kwin->bus().baseService(), QString::fromLatin1(KWinApplicationSource::kObjectPath),
            QStringLiteral("com.kelvora.Tolvane.KWinScript"), QStringLiteral("WindowActivated"));
        forged.setArguments({"{x}", "evil", "evil", "evil", "1", "0,0,1,1", "1"});
        m_kwin->bus().call(forged, QDBus::Block, 2000);
        QTest::qWait(200);
        for (const QList<QVariant>& call : std::as_const(activated))
            QVERIFY(call.at(0).value<RunningApplication>().bundleIdentifier != QStringLiteral("evil"));
        QCOMPARE(m_source->frontmostApplication()->bundleIdentifier, kWaylandApp);
    }

    void rulesSwitchTheLayout()
    {
        BackendEngine engine(m_layouts.get(), m_source.get(),
                             {ruleFor(kWaylandApp, QStringLiteral("xkb:de(neo)")),
                              ruleFor(kX11Class.toLower(), QStringLiteral("xkb:de"))},
                             QStringLiteral("xkb:us"));

        // The rules came after the engine's start: only activations from now on count.
        QVERIFY(activate(m_x11Window));
        QTRY_COMPARE(m_kwin->currentLayout(), 1);
        QVERIFY(activate(m_waylandWindow));
        QTRY_COMPARE(m_kwin->currentLayout(), 2);
        // A window without a rule gets the default.
        const qint64 other = m_kwin->openWindow(QStringLiteral("org.kelvora.NoRule"), QStringLiteral("wayland"));
        QVERIFY(other > 0);
        QVERIFY(activate(other));
        QTRY_COMPARE(m_kwin->currentLayout(), 0);
        m_kwin->closeWindow(other);
    }

    void platformStartsOnlyWithKWin()
    {
        // The suite's own bus has no KWin.
        QVERIFY(!KdePlatform::create(QDBusConnection::sessionBus()));
        auto platform = KdePlatform::create(m_kwin->bus());
        QVERIFY(platform);
        QVERIFY(!platform->globalKeyMonitor());
        QVERIFY(platform->desktopCompositing() && platform->desktopCompositing()->isActive());
        QVERIFY(platform->desktopConflictMonitor());
        const auto sources = platform->inputSourceProvider()->enabledInputSources();
        QVERIFY(sources);
        QCOMPARE(sources->size(), 3);
    }

    // KWin binds the pause key (no client may watch the keyboard): the shortcut
    // it holds for Tolvane calls Tolvane's TogglePause.
    void thePauseShortcutCallsTolvane()
    {
        PauseReceiver receiver;
        QDBusConnection bus = m_kwin->bus();
        QVERIFY(bus.registerObject(QStringLiteral("/com/kelvora/Tolvane"), &receiver, QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(QStringLiteral("com.kelvora.Tolvane")));
        QDBusMessage invoke = QDBusMessage::createMethodCall(
            QStringLiteral("org.kde.kglobalaccel"), QStringLiteral("/component/kwin"),
            QStringLiteral("org.kde.kglobalaccel.Component"), QStringLiteral("invokeShortcut"));
        invoke << QStringLiteral("TolvaneTogglePause");
        const QDBusMessage invoked = bus.call(invoke);
        QVERIFY2(invoked.type() == QDBusMessage::ReplyMessage, qPrintable(invoked.errorMessage()));
        QTRY_COMPARE(receiver.toggles, 1);
        bus.unregisterService(QStringLiteral("com.kelvora.Tolvane"));
        bus.unregisterObject(QStringLiteral("/com/kelvora/Tolvane"));
    }

private:
    // Activates the window of `pid` unless it is active; the application the source reported for it.
    std::optional<RunningApplication> activate(qint64 pid)
    {
        if (auto front = m_source->frontmostApplication(); front && front->processIdentifier == pid)
            return front;
        QSignalSpy activated(m_source.get(), &ApplicationSource::applicationActivated);
        std::optional<RunningApplication> reported;
        const auto find = [&] {
            for (const QList<QVariant>& call : std::as_const(activated)) {
                if (const auto app = call.at(0).value<RunningApplication>(); app.processIdentifier == pid)
                    reported = app;
            }
            return reported.has_value();
        };
        if (!m_kwin->activate(pid) || !QTest::qWaitFor(find, 5000))
            return std::nullopt;
        return reported;
    }

    std::unique_ptr<KWinSession> m_kwin;
    std::unique_ptr<DesktopEntryIndex> m_entries;
    std::unique_ptr<KWinApplicationSource> m_source;
    std::unique_ptr<KdeKeyboardLayoutProvider> m_layouts;
    qint64 m_waylandWindow = 0;
    qint64 m_x11Window = 0;
};

TOLVANE_TEST_MAIN(KdePlasmaTest)
#include "KdePlasmaTest.moc"
