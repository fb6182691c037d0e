#include "TolvaneApp.h"

#include "TrayLabel.h"
#include "base/Logger.h"

#include "base/PreferenceChanges.h"
#include "base/PreferenceKeys.h"
#include "base/Preferences.h"
#include "base/Tolvane.h"
#include "core/InputSourceManager.h"
#include "core/RuleEngine.h"
#include "feedback/FlagEmoji.h"
#include "feedback/GlobalHotkeyManager.h"
#include "feedback/InputSourceIndicatorController.h"
#include "feedback/MenuBarIndicatorController.h"
#include "platform/InputSourceProvider.h"
#include "platform/PanelMenuPresenter.h"
#include "platform/Platform.h"
#include "services/LocalizationManager.h"
#include "services/PermissionsManager.h"
#include "services/UsageStatisticsManager.h"

#if __has_include("ui/SettingsView.h")
#include "ui/SettingsServices.h"
#include "ui/SettingsView.h"
#define TOLVANE_HAS_SETTINGS_VIEW 1
#endif

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>

namespace {
const QString& kQuitAlwaysKeepsWindowsKey = PreferenceKeys::quitAlwaysKeepsWindows.name;

// Texts taken from data go into menu rows as they are: no mnemonics.
QString menuText(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return escaped;
}

// A menu row's text as a panel shows it: no mnemonics, "&&" a plain "&".
QString plainText(const QString& text)
{
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        plain.append(text[i]);
    }
    return plain;
}

} // namespace

TolvaneApp::Dependencies TolvaneApp::sharedDependencies()
{
    Dependencies dependencies;
    dependencies.managers = [] {
        // The stored interface language applies before the first label is drawn.
        LocalizationManager::shared();
        Managers managers;
        managers.ruleEngine = &RuleEngine::shared();
        managers.inputSourceManager = &InputSourceManager::shared();
        managers.permissionsManager = &PermissionsManager::shared();
        managers.menuBarIndicator = &MenuBarIndicatorController::shared();
        return managers;
    };
    dependencies.startAnalytics = &TolvaneApp::startAnalytics;
    dependencies.showMessage = [](const QString& text, const QString& icon) {
        InputSourceIndicatorController::shared().showMessage(text, icon);
    };
    dependencies.shortVersion = [] {
#ifdef TOLVANE_VERSION
        return QVariant(QStringLiteral(TOLVANE_VERSION));
#else
        return QVariant();
#endif
    };
    dependencies.makeSettingsContent = [](const Managers& managers) -> QWidget* {
#ifdef TOLVANE_HAS_SETTINGS_VIEW
        if (!SettingsServices::current().localization)
            SettingsServices::current() = SettingsServices::defaults();
        return new SettingsView(*managers.ruleEngine, *managers.inputSourceManager, *managers.permissionsManager);
#else
        Q_UNUSED(managers);
        return nullptr;
#endif
    };
    dependencies.startServices = [] { GlobalHotkeyManager::shared().startMonitoring(); };
    dependencies.trayMonitor = [] { return Platform::instance().systemTrayMonitor(); };
    dependencies.panelMenu = [] { return Platform::instance().panelMenuPresenter(); };
    return dependencies;
}

TolvaneApp::TolvaneApp(QObject* parent)
    : TolvaneApp(sharedDependencies(), parent)
{
}

TolvaneApp::TolvaneApp(Dependencies dependencies, QObject* parent)
    : QObject(parent)
    , m_dependencies(std::move(dependencies))
{
    // Windows are never restored at the next launch.
    Preferences::setValue(kQuitAlwaysKeepsWindowsKey, false);
    if (m_dependencies.startAnalytics)
        m_dependencies.startAnalytics();
    buildScenes();
}

TolvaneApp::~TolvaneApp()
{
    if (m_panelMenu)
        m_panelMenu->setMenu(QString(), {});
    delete m_settingsWindow;
}

void TolvaneApp::startAnalytics()
{
    UsageStatisticsManager::shared().start();
}

QString TolvaneApp::versionString(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString && !value.toString().isEmpty())
        return value.toString();
    return QStringLiteral("1.0");
}

QString TolvaneApp::versionLine() const
{
    const QVariant value = m_dependencies.shortVersion ? m_dependencies.shortVersion() : QVariant();
    return QStringLiteral("v") + versionString(value);
}

void TolvaneApp::buildScenes()
{
    // No main window: closing the settings window leaves the tray item running.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    m_managers = m_dependencies.managers();
    Q_ASSERT(m_managers.ruleEngine && m_managers.menuBarIndicator);
    m_menuBarShowFlag = Preferences::boolValue(PreferenceKeys::menuBarShowFlag);

    buildMenu();

    MenuBarIndicatorController* indicator = m_managers.menuBarIndicator;
    connect(indicator, &MenuBarIndicatorController::currentInputSourceIconChanged, this, [this] {
        updateLabel();
        updateHeader();
    });
    connect(indicator, &MenuBarIndicatorController::currentInputSourceNameChanged, this, [this] {
        updateLabel();
        updateHeader();
    });
    connect(m_managers.ruleEngine, &RuleEngine::isPausedChanged, this, [this] {
        updateLabel();
        updatePauseItem();
    });
    watchPreferences();

    updateLabel();
    updateHeader();
    retranslate();
    followThePanelMenu();
    followTheTray();

    if (m_dependencies.startServices)
        m_dependencies.startServices();
}

// The tray item is made only once a tray exists: the platform decides how to
// show an item (StatusNotifierItem or XEmbed) when the first one is made, and
// keeps that choice.
void TolvaneApp::followTheTray()
{
    m_trayMonitor = m_dependencies.trayMonitor ? m_dependencies.trayMonitor() : nullptr;
    if (!m_trayMonitor) {
        showTrayItem();
        if (!QSystemTrayIcon::isSystemTrayAvailable())
            sayThereIsNoTray();
        return;
    }
    connect(m_trayMonitor, &SystemTrayMonitor::isAvailableChanged, this, [this] {
        if (m_trayMonitor->isAvailable() && !m_trayIcon) {
            Logger::shared().info(QStringLiteral("A system tray appeared; showing the tray item"));
            showTrayItem();
        }
    });
    if (m_trayMonitor->isAvailable()) {
        showTrayItem();
        return;
    }
    if (panelMenuShown()) {
        Logger::shared().info(QStringLiteral("No system tray is available; Tolvane's menu is in the desktop's panel"));
        return;
    }
    sayThereIsNoTray();
    // Once per session the settings window shows that Tolvane runs, and how to reach it again.
    QString directory = m_dependencies.sessionDirectory;
    if (directory.isEmpty())
        directory = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    QFile marker(QDir(directory).filePath(QStringLiteral("com.kelvora.Tolvane.no-tray-shown")));
    if (!marker.exists() && marker.open(QIODevice::WriteOnly)) {
        marker.close();
        openSettings();
    }
}

void TolvaneApp::showTrayItem()
{
    m_trayIcon = std::make_unique<QSystemTrayIcon>();
    m_trayIcon->setContextMenu(m_menu.get());
    connect(m_trayIcon.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        // A click opens the menu too, as a menu-bar item does.
        if (reason == QSystemTrayIcon::Trigger && !m_menu->isVisible())
            m_menu->popup(QCursor::pos());
    });
    updateLabel();
    m_trayIcon->show();
    updateNoTrayNotice();
    updatePanelMenu();
}

// The panel shows the menu while there is no tray; its rows are chosen as the
// tray menu's are.
void TolvaneApp::followThePanelMenu()
{
    m_panelMenu = m_dependencies.panelMenu ? m_dependencies.panelMenu() : nullptr;
    if (!m_panelMenu)
        return;
    connect(m_panelMenu, &PanelMenuPresenter::isAvailableChanged, this, &TolvaneApp::updateNoTrayNotice);
    connect(m_panelMenu, &PanelMenuPresenter::activated, this, [this](const QString& key) {
        if (key.isEmpty())
            return;
        QAction* row = m_menu->findChild<QAction*>(key, Qt::FindDirectChildrenOnly);
        if (row && row->isVisible() && row->isEnabled()) {
            Logger::shared().info(QStringLiteral("Chosen in the panel menu: %1").arg(key));
            // Queued: the row may quit or open a window, which the panel's signal should not wait for.
            QMetaObject::invokeMethod(row, &QAction::trigger, Qt::QueuedConnection);
        }
    });
    updatePanelMenu();
}

bool TolvaneApp::panelMenuShown() const
{
    return m_panelMenu && m_panelMenu->isAvailable() && !m_trayIcon;
}

void TolvaneApp::updatePanelMenu()
{
    if (!m_panelMenu)
        return;
    if (m_trayIcon) {
        m_panelMenu->setMenu(QString(), {}); // the tray holds the menu
        return;
    }
    QList<PanelMenuPresenter::Row> rows;
    for (const QAction* action : m_menu->actions()) {
        if (!action->isVisible())
            continue;
        if (action->isSeparator())
            rows.append({QString(), QString(), false});
        else
            rows.append({action->objectName(), plainText(action->text()), action->isEnabled()});
    }
    m_panelMenu->setMenu(panelLabel(), rows);
}

// The panel's button is text: the flag (or the keyboard sign), and the pause sign while paused.
QString TolvaneApp::panelLabel() const
{
    if (ruleEngine().isPaused())
        return keyboardSign() + QStringLiteral("\u23F8\uFE0F");
    const QString icon = m_managers.menuBarIndicator->currentInputSourceIcon();
    return m_menuBarShowFlag ? icon : keyboardSign();
}

void TolvaneApp::sayThereIsNoTray()
{
    Logger::shared().error(QStringLiteral("No system tray is available; Tolvane keeps switching in the background."));
    const QByteArray text =
        Tolvane::tr("No system tray is available; Tolvane keeps switching in the background.").toLocal8Bit();
    std::fprintf(stderr, "%s\n", text.constData());
    std::fflush(stderr);
}

void TolvaneApp::updateNoTrayNotice()
{
    if (!m_noTrayNotice)
        return;
    m_noTrayNotice->setText(
        Tolvane::tr("There is no system tray on this desktop, so Tolvane has no menu there. It keeps switching in the "
                    "background; to open these settings again, start Tolvane again."));
    m_noTrayNotice->setVisible(m_trayMonitor && !m_trayIcon && !panelMenuShown());
}

void TolvaneApp::buildMenu()
{
    m_menu = std::make_unique<QMenu>();
    m_menu->installEventFilter(this);
    connect(m_menu.get(), &QMenu::aboutToShow, this, &TolvaneApp::refreshMenuBarShowFlag);

    m_headerAction = m_menu->addAction(QString());
    m_headerAction->setObjectName(QStringLiteral("header"));
    m_headerAction->setEnabled(false); // dimmed, not a button
    m_headerSeparator = m_menu->addSeparator();

    m_settingsAction = m_menu->addAction(QString(), this, &TolvaneApp::openSettings);
    m_settingsAction->setObjectName(QStringLiteral("settings"));
    m_settingsAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+,")));
    m_menu->addSeparator();

    m_pauseAction = m_menu->addAction(QString(), this, &TolvaneApp::togglePause);
    m_pauseAction->setObjectName(QStringLiteral("pause"));
    m_pauseAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+P")));
    m_menu->addSeparator();

    m_versionAction = m_menu->addAction(versionLine());
    m_versionAction->setObjectName(QStringLiteral("version"));
    m_versionAction->setEnabled(false);
    QFont caption = m_versionAction->font();
    caption.setPointSizeF(caption.pointSizeF() * 0.85);
    m_versionAction->setFont(caption);

    m_quitAction = m_menu->addAction(QString(), this, &TolvaneApp::quit);
    m_quitAction->setObjectName(QStringLiteral("quit"));
    m_quitAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    m_quitAction->setMenuRole(QAction::QuitRole);
    m_settingsAction->setMenuRole(QAction::NoRole);

    connect(&LocalizationManager::shared(), &LocalizationManager::languageDidChange, this, &TolvaneApp::retranslate);
}

void TolvaneApp::retranslate()
{
    m_settingsAction->setText(Tolvane::tr("Settings..."));
    m_quitAction->setText(Tolvane::tr("Quit"));
    updatePauseItem();
    updateNoTrayNotice();
}

void TolvaneApp::updatePauseItem()
{
    m_pauseAction->setText(ruleEngine().isPaused() ? Tolvane::tr("Resume Switching") : Tolvane::tr("Pause Switching"));
    updatePanelMenu();
}

void TolvaneApp::updateHeader()
{
    const MenuBarIndicatorController& indicator = *m_managers.menuBarIndicator;
    QString name = indicator.currentInputSourceName();
    name.replace(QLatin1Char('\n'), QLatin1Char(' ')); // one line
    m_headerAction->setText(menuText(indicator.currentInputSourceIcon() + QLatin1Char(' ') + name));
    m_headerAction->setVisible(m_menuBarShowFlag);
    m_headerSeparator->setVisible(m_menuBarShowFlag);
    updatePanelMenu();
}

void TolvaneApp::updateLabel()
{
    // The keyboard sign stands for "no flag": the tray then shows its own keyboard symbol.
    const QString icon = m_managers.menuBarIndicator->currentInputSourceIcon();
    const bool hasFlag = icon != keyboardSign();
    const std::optional<QString> flag = m_menuBarShowFlag && hasFlag ? std::optional<QString>(icon) : std::nullopt;
    m_labelIcon = TrayLabel::icon(ruleEngine().isPaused(), flag);
    if (m_trayIcon) {
        m_trayIcon->setIcon(m_labelIcon);
        m_trayIcon->setToolTip(m_managers.menuBarIndicator->currentInputSourceName());
    }
    updatePanelMenu();
}

void TolvaneApp::refreshMenuBarShowFlag()
{
    const bool show = Preferences::boolValue(PreferenceKeys::menuBarShowFlag);
    if (show == m_menuBarShowFlag)
        return;
    m_menuBarShowFlag = show;
    updateLabel();
    updateHeader();
    Q_EMIT menuBarShowFlagChanged();
}

void TolvaneApp::watchPreferences()
{
    connect(&PreferenceChanges::shared(), &PreferenceChanges::changed, this, [this](const QString& key) {
        if (key == PreferenceKeys::menuBarShowFlag.name)
            refreshMenuBarShowFlag();
    });
}

bool TolvaneApp::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_menu.get() && event->type() == QEvent::LanguageChange)
        retranslate();
    return QObject::eventFilter(watched, event);
}

void TolvaneApp::togglePause()
{
    setPaused(!ruleEngine().isPaused());
}

void TolvaneApp::setPaused(bool requested)
{
    RuleEngine& engine = ruleEngine();
    if (requested == engine.isPaused())
        return;
    engine.setPaused(requested);
    const bool paused = engine.isPaused();
    const QString message = paused ? Tolvane::tr("Switching Paused") : Tolvane::tr("Switching Resumed");
    const QString icon = paused ? QStringLiteral("\u23F8\uFE0F") : QStringLiteral("\u25B6\uFE0F");
    if (m_dependencies.showMessage)
        m_dependencies.showMessage(message, icon);
}

void TolvaneApp::openSettings()
{
    // There is no application-wide activation on X11; the window asks for focus
    // itself once it is shown.
    if (!m_settingsWindow) {
        auto* window = new QWidget(nullptr, Qt::Window);
        window->setObjectName(QStringLiteral("settings"));
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        m_noTrayNotice = new QLabel(window);
        m_noTrayNotice->setObjectName(QStringLiteral("noTrayNotice"));
        m_noTrayNotice->setWordWrap(true);
        m_noTrayNotice->setContentsMargins(12, 8, 12, 8);
        layout->addWidget(m_noTrayNotice);
        updateNoTrayNotice();
        QWidget* content =
            m_dependencies.makeSettingsContent ? m_dependencies.makeSettingsContent(m_managers) : nullptr;
        if (content) {
            layout->addWidget(content);
            // The window's size follows its content's.
            layout->setSizeConstraint(QLayout::SetMinAndMaxSize);
            // Shown without a size, a window gets at most two thirds of the
            // screen, which leaves the settings at their least size.
            window->resize(window->sizeHint());
            window->setWindowTitle(content->windowTitle());
            connect(content, &QWidget::windowTitleChanged, window, &QWidget::setWindowTitle);
        } else {
            window->resize(480, 320); // an empty window still shows
        }
        // The menu's key equivalents work while the application's window is in front.
        window->addActions({m_settingsAction, m_pauseAction, m_quitAction});
        m_settingsWindow = window;
    }
    m_settingsWindow->show();
    m_settingsWindow->raise();
    m_settingsWindow->activateWindow();
    Logger::shared().info(QStringLiteral("Opened the settings window"));
    Q_EMIT settingsOpened();
}

void TolvaneApp::quit()
{
    QCoreApplication::quit();
}
