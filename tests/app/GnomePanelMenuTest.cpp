// The tray menu in GNOME's top bar, end to end on a real, headless GNOME Shell
// (scripts/with-gnome-shell --unsafe-mode runs this test inside one): the rows
// are read back from the Shell's own panel button and chosen there, as a click
// would, through org.gnome.Shell.Eval.
#include "AppHarness.h"

#include "support/ProcessEnvironment.h"
#include "support/TestMain.h"

#include "base/Tolvane.h"
#include "platform/gnome/GnomePlatform.h"
#include "platform/gnome/GnomeShellExtension.h"
#include "services/LocalizationManager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <memory>

namespace {

// What the Shell's own code answers, as JSON; empty when it refused.
QString evalInShell(const QString& code)
{
    QDBusMessage eval =
        QDBusMessage::createMethodCall("org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell", "Eval");
    eval.setArguments({code});
    const QDBusMessage reply = QDBusConnection::sessionBus().call(eval);
    if (reply.arguments().size() != 2 || !reply.arguments().at(0).toBool())
        return {};
    return reply.arguments().at(1).toString();
}

const QString kButton = QStringLiteral("imports.ui.main.panel.statusArea['com.kelvora.Tolvane.Shell']");

// The panel button's text and rows as the Shell shows them ("-" a separator,
// " (dim)" after a row that cannot be chosen); an empty list without a button.
QStringList panel()
{
    const QString json = evalInShell(QStringLiteral(R"((() => {
        const button = %1;
        if (!button)
            return [];
        const label = button.get_children().find(child => child instanceof imports.gi.St.Label);
        return [label.text].concat(button.menu._getMenuItems().map(item =>
            item instanceof imports.ui.popupMenu.PopupSeparatorMenuItem ? '-'
                : item.label.text + (item.getSensitive() ? '' : ' (dim)')));
    })())")
                                         .arg(kButton));
    QStringList result;
    for (const QJsonValue& value : QJsonDocument::fromJson(json.toUtf8()).array())
        result.append(value.toString());
    return result;
}

// Chooses the row with this text in the Shell's menu, as a click does.
bool choose(const QString& text)
{
    const QString json = evalInShell(
        QStringLiteral(R"((() => {
        const item = %1.menu._getMenuItems().find(item => item.label && item.label.text === %2);
        if (!item)
            return false;
        item.activate(imports.gi.Clutter.get_current_event());
        return true;
    })())")
            .arg(kButton,
                 QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact)).mid(1).chopped(1)));
    return json == QLatin1String("true");
}

bool setEnabledExtensions(const QString& list)
{
    return tolvane::test::runProgram("gsettings", {"set", "org.gnome.shell", "enabled-extensions", list}).has_value();
}

} // namespace

class GnomePanelMenuTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("TOLVANE_GNOME_SHELL_LOG"))
            QSKIP("runs inside scripts/with-gnome-shell");
        qputenv("XDG_CONFIG_HOME", qgetenv("TOLVANE_GNOME_SHELL_CONFIG_HOME"));
        m_platform = std::make_unique<GnomePlatform>();
        if (!m_platform->extension().isRunning())
            QSKIP("Tolvane's extension is not installed in this Shell");
        if (evalInShell("true").isEmpty())
            QSKIP("the Shell is not in unsafe mode");
    }

    void init()
    {
        Preferences::store().clear();
        LocalizationManager::shared().setLanguage("en", false);
        m_harness = std::make_unique<AppHarness>();
        m_tray = new FakeTrayMonitor;
        m_harness->dependencies.trayMonitor = [this] { return m_tray; };
        m_harness->dependencies.panelMenu = [this] { return m_platform->panelMenuPresenter(); };
        m_harness->dependencies.sessionDirectory = m_session.path();
        m_harness->start();
    }

    void cleanup()
    {
        m_harness.reset();
        delete m_tray;
        m_platform->panelMenuPresenter()->setMenu(QString(), {});
        QTRY_COMPARE(panel(), QStringList{});
    }

    void theTrayRowsAreInThePanel()
    {
        const QStringList tail{"Settings...", "-", "Pause Switching", "-", "v2.4.1 (dim)", "Quit"};
        QTRY_COMPARE(panel(), (QStringList{"🇺🇸", "🇺🇸 English (US) (dim)", "-"} + tail));

        // The source changes outside: the header row and the label follow; a name's ampersand is as it stands.
        m_harness->engine.provider.current = FakeInputSourceProvider::source("xkb:russian", "Q&A\nLayout");
        Q_EMIT m_harness->engine.provider.selectedInputSourceChanged();
        QTRY_COMPARE(panel(), (QStringList{"🇷🇺", "🇷🇺 Q&A Layout (dim)", "-"} + tail));

        // Without the flag the header goes, and the label is the keyboard sign.
        Preferences::setValue("menuBarShowFlag", false);
        Preferences::store().sync();
        QTRY_COMPARE(panel(), QStringList{"⌨️"} + tail);

        // The interface language changes: so do the rows.
        LocalizationManager::shared().setLanguage("de", false);
        QTRY_VERIFY(panel().value(1) != QLatin1String("Settings..."));
        QCOMPARE(panel().value(1), Tolvane::tr("Settings..."));
    }

    // Chosen in the panel, each row does what it does in the tray menu; the dimmed rows do nothing.
    void choosingRowsInThePanel()
    {
        QTRY_VERIFY(panel().contains("Pause Switching"));
        QVERIFY(choose("Pause Switching"));
        QTRY_VERIFY(m_harness->engine.engine->isPaused());
        QCOMPARE(m_harness->messages, QStringList{"Switching Paused \u23F8\uFE0F"});
        QTRY_VERIFY(panel().contains("Resume Switching"));
        QCOMPARE(panel().value(0), QStringLiteral("⌨️⏸️"));

        QVERIFY(choose("Resume Switching"));
        QTRY_VERIFY(!m_harness->engine.engine->isPaused());
        QTRY_VERIFY(panel().contains("Pause Switching"));
        QVERIFY(choose("v2.4.1"));
        QTest::qWait(200);
        QVERIFY(!m_harness->engine.engine->isPaused());
        // The panel holds the menu: no window opened at start to say there is none.
        QVERIFY(!m_harness->app->settingsWindow());

        QVERIFY(choose("Settings..."));
        QTRY_VERIFY(m_harness->app->settingsWindow() && m_harness->app->settingsWindow()->isVisible());
        QVERIFY(notice()->isHidden());
    }

    // The extension turned off takes the rows with it and turned on brings them back;
    // a tray that appears then takes the menu.
    void theRowsComeBackWithTheExtensionAndGoToATray()
    {
        QTRY_VERIFY(!panel().isEmpty());
        const QStringList shown = panel();
        QVERIFY(setEnabledExtensions("['unsafe-mode@tolvane.test']"));
        QTRY_VERIFY(!m_platform->extension().isRunning());
        QCOMPARE(panel(), QStringList{});
        // While the extension is away the window says there is no menu.
        m_harness->app->openSettings();
        QVERIFY(!notice()->isHidden());

        QVERIFY(setEnabledExtensions("['tolvane@kelvora.com', 'unsafe-mode@tolvane.test']"));
        QTRY_VERIFY(m_platform->extension().isRunning());
        QTRY_COMPARE(panel(), shown);
        QVERIFY(notice()->isHidden());
        QVERIFY(choose("Pause Switching"));
        QTRY_VERIFY(m_harness->engine.engine->isPaused());

        m_tray->appear();
        QVERIFY(m_harness->app->trayIcon());
        QTRY_COMPARE(panel(), QStringList{});
    }

private:
    const QLabel* notice() const { return m_harness->app->settingsWindow()->findChild<QLabel*>("noTrayNotice"); }

    std::unique_ptr<GnomePlatform> m_platform;
    std::unique_ptr<AppHarness> m_harness;
    FakeTrayMonitor* m_tray = nullptr;
    QTemporaryDir m_session;
};

TOLVANE_TEST_MAIN(GnomePanelMenuTest)
#include "GnomePanelMenuTest.moc"
