#pragma once

#include <QWidget>

class AboutView;
class AccessibilityBanner;
class DesktopConflictBanner;
class GeneralSettingsView;
class NoticeBanner;
class InputSourceManager;
class PermissionsManager;
class ProSettingsView;
class QLabel;
class QListWidget;
class QStackedWidget;
class RuleEngine;
class RuleListView;

// The settings window: a sidebar of the four pages and the chosen page
// beside it. Before a page is chosen it shows the rule list, with the
// accessibility banner above it while Tolvane may not observe the keyboard.
// On a desktop no backend drives, a banner above every page says so.
class SettingsView : public QWidget {
    Q_OBJECT
public:
    enum Page { RuleManagement, GeneralSettings, Features, About };

    SettingsView(RuleEngine& ruleEngine, InputSourceManager& inputSourceManager, PermissionsManager& permissionsManager,
                 QWidget* parent = nullptr);

    // "v" and the version, "1.0" standing in for a missing one.
    static QString versionFooterText(const QString& shortVersion);
    // The application's short version (the project version).
    static QString shortVersionString();

    void showPage(Page page);
    int currentPage() const;
    bool isBannerVisible() const;

    // Wide enough for the sidebar and a page, tall enough for the whole of
    // General Settings (as far as the screen allows).
    QSize sizeHint() const override;
    // The pages scroll, so the window's height does not follow its width; a
    // window layout that asked would shrink the window to the least height.
    bool hasHeightForWidth() const override { return false; }

    AccessibilityBanner* banner() const { return m_banner; }
    // Shown above every page while this desktop has no backend.
    NoticeBanner* unsupportedDesktopBanner() const { return m_unsupportedDesktop; }
    // Shown above every page while something about the desktop works against
    // Tolvane (a setting that undoes its switches, a missing Shell extension).
    DesktopConflictBanner* conflictBanner() const { return m_conflictBanner; }
    // Shown above every page while the rules cannot be saved.
    QLabel* saveErrorLabel() const { return m_saveError; }
    RuleListView* ruleListView() const { return m_rules; }
    GeneralSettingsView* generalSettingsView() const { return m_general; }
    ProSettingsView* proSettingsView() const { return m_pro; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void updateBanner();
    void showSaveError();

    RuleEngine& m_ruleEngine;
    PermissionsManager& m_permissionsManager;
    bool m_entryChosen = false;
    bool m_switchingAvailable = true;
    QListWidget* m_sidebar;
    QLabel* m_sidebarTitle;
    QLabel* m_footer;
    NoticeBanner* m_unsupportedDesktop;
    QLabel* m_saveError;
    QStackedWidget* m_detail;
    AccessibilityBanner* m_banner;
    DesktopConflictBanner* m_conflictBanner;
    RuleListView* m_rules;
    GeneralSettingsView* m_general;
    ProSettingsView* m_pro;
    AboutView* m_about;
};
