#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <memory>

class InputSourceManager;
class MenuBarIndicatorController;
class PanelMenuPresenter;
class PermissionsManager;
class QAction;
class QMenu;
class QSystemTrayIcon;
class QLabel;
class RuleEngine;
class SystemTrayMonitor;

// The root of the user interface: a tray item with its menu, and on demand the
// settings window. Constructed once by main(); lives until the process ends.
//
// Construction, in this order: writes false under "NSQuitAlwaysKeepsWindows",
// starts the analytics client with the launch signal, then obtains the shared
// managers (the first access to the rule engine loads the catalogue and the
// rules and applies the rule of the application in front) and builds the tray
// item.
class TolvaneApp : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool menuBarShowFlag READ menuBarShowFlag NOTIFY menuBarShowFlagChanged)
public:
    struct Managers {
        RuleEngine* ruleEngine = nullptr;
        InputSourceManager* inputSourceManager = nullptr;
        PermissionsManager* permissionsManager = nullptr;
        MenuBarIndicatorController* menuBarIndicator = nullptr;
    };

    // What the application is wired to. sharedDependencies() gives the real
    // ones; tests replace single entries.
    struct Dependencies {
        // Called once, after the analytics start: the managers the item shows.
        std::function<Managers()> managers;
        // Configures the analytics client and sends the launch signal.
        std::function<void()> startAnalytics;
        // The floating indicator's message (text, icon).
        std::function<void(const QString&, const QString&)> showMessage;
        // The application's short version as stored with the build; anything
        // but a non-empty string counts as absent.
        std::function<QVariant()> shortVersion;
        // The settings window's content, given the managers; null: an empty window.
        std::function<QWidget*(const Managers&)> makeSettingsContent;
        // Everything else the running application starts (the pause hotkey monitor).
        std::function<void()> startServices;
        // Follows the desktop's tray; null (or no function): the tray is looked
        // for once, at start.
        std::function<SystemTrayMonitor*()> trayMonitor;
        // Where the desktop has no tray: the desktop's panel that shows the
        // menu instead; null (or no function): none.
        std::function<PanelMenuPresenter*()> panelMenu;
        // Where the application notes that this session has seen its settings
        // window for want of a tray; empty: the user's runtime directory.
        QString sessionDirectory;
    };

    static Dependencies sharedDependencies();

    explicit TolvaneApp(QObject* parent = nullptr);
    explicit TolvaneApp(Dependencies dependencies, QObject* parent = nullptr);
    ~TolvaneApp() override;

    // Run once at start: the analytics client, as the user allows, and the one launch signal.
    static void startAnalytics();

    // "1.0" unless `value` is a non-empty string.
    static QString versionString(const QVariant& value);
    // The text of the version row: "v" + version.
    QString versionLine() const;

    const Managers& managers() const { return m_managers; }
    RuleEngine& ruleEngine() const { return *m_managers.ruleEngine; }

    bool menuBarShowFlag() const { return m_menuBarShowFlag; }
    // Reads "menuBarShowFlag" again (default true) and redraws what depends on it.
    void refreshMenuBarShowFlag();

    // Null while the desktop has no tray: the item is made when one appears.
    QSystemTrayIcon* trayIcon() const { return m_trayIcon.get(); }
    QMenu* menu() const { return m_menu.get(); }
    // The label image: the keyboard symbol (the paused one while paused) and,
    // while the flag is shown, the current source's flag beside it.
    QIcon labelIcon() const { return m_labelIcon; }

    // The settings window, or null before it was first opened.
    QWidget* settingsWindow() const { return m_settingsWindow; }

public Q_SLOTS:
    // Brings the application forward, then shows the settings window: created
    // on first use, raised and activated when already there.
    void openSettings();
    void togglePause();
    // Pauses or resumes switching; a change is shown by the floating indicator.
    void setPaused(bool paused);
    void quit();

Q_SIGNALS:
    void menuBarShowFlagChanged();
    void settingsOpened();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildScenes();
    void buildMenu();
    void showTrayItem();
    void followTheTray();
    void sayThereIsNoTray();
    void updateNoTrayNotice();
    void retranslate();
    void updateLabel();
    void updateHeader();
    void updatePauseItem();
    void followThePanelMenu();
    bool panelMenuShown() const;
    void updatePanelMenu();
    QString panelLabel() const;
    void watchPreferences();

    Dependencies m_dependencies;
    Managers m_managers;
    bool m_menuBarShowFlag = true;

    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_trayIcon;
    QAction* m_headerAction = nullptr;
    QAction* m_headerSeparator = nullptr;
    QAction* m_settingsAction = nullptr;
    QAction* m_pauseAction = nullptr;
    QAction* m_versionAction = nullptr;
    QAction* m_quitAction = nullptr;
    QIcon m_labelIcon;
    QPointer<QWidget> m_settingsWindow;
    QPointer<QLabel> m_noTrayNotice;
    QPointer<SystemTrayMonitor> m_trayMonitor;
    QPointer<PanelMenuPresenter> m_panelMenu;
};
