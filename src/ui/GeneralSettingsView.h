#pragma once

#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QWidget>

class InputSourceManager;
class LaunchAtLoginManager;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
#include <QMessageBox>
class QPushButton;
class RuleEngine;

// The general page: interface language, launch at login, the default input
// source, the switch notification, the usage statistics, updates and the reset of
// all settings.
class GeneralSettingsView : public QWidget {
    Q_OBJECT
public:
    GeneralSettingsView(RuleEngine& ruleEngine, InputSourceManager& inputSourceManager, QWidget* parent = nullptr);

    // The product's download page.
    static QUrl websiteURL();
    // The preference keys the reset removes, in the order it removes them.
    static QStringList resetKeys();

    // Opens the confirmation; its "Reset" runs resetToDefaults().
    void confirmReset();
    void resetToDefaults();
    void visitWebsite();

    QString selectedLanguage() const;
    QComboBox* languagePicker() const { return m_language; }
    QCheckBox* launchAtLoginToggle() const { return m_launch; }
    QLabel* launchErrorLabel() const { return m_launchError; }
    QComboBox* defaultSourcePicker() const { return m_defaultSource; }
    // For applications without a rule: the default input source, or the source last used there.
    QComboBox* noRulePicker() const { return m_noRule; }
    QCheckBox* notificationToggle() const { return m_notification; }
    QCheckBox* shareStatisticsToggle() const { return m_shareStatistics; }
    // Says why sharing is off when the environment silences it; hidden otherwise.
    QLabel* shareStatisticsNote() const { return m_shareStatisticsNote; }
    QPushButton* checkForUpdatesButton() const { return m_checkUpdates; }
    QPushButton* websiteButton() const { return m_website; }
    QMessageBox* resetConfirmation() const { return m_confirmation; }

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void retranslate();
    void fillLanguages();
    void fillDefaultSources();
    void fillNoRuleChoices();
    void attachLaunchManager();
    void showLaunchState();
    void showSharingState();

    RuleEngine& m_ruleEngine;
    InputSourceManager& m_inputSourceManager;
    QPointer<LaunchAtLoginManager> m_launchManager;
    QPointer<QMessageBox> m_confirmation;

    QGroupBox* m_languageSection;
    QGroupBox* m_startupSection;
    QGroupBox* m_fallbackSection;
    QGroupBox* m_notificationSection;
    QGroupBox* m_privacySection;
    QGroupBox* m_updatesSection;
    QGroupBox* m_resetSection;
    QLabel* m_languageLabel;
    QComboBox* m_language;
    QLabel* m_languageDescription;
    QCheckBox* m_launch;
    QLabel* m_launchError;
    QLabel* m_launchDescription;
    QLabel* m_defaultSourceLabel;
    QComboBox* m_defaultSource;
    QLabel* m_fallbackDescription;
    QLabel* m_noRuleLabel;
    QComboBox* m_noRule;
    QLabel* m_memoryDescription;
    QCheckBox* m_notification;
    QLabel* m_notificationDescription;
    QCheckBox* m_shareStatistics;
    QLabel* m_shareStatisticsDescription;
    QLabel* m_shareStatisticsNote;
    QPushButton* m_checkUpdates;
    QPushButton* m_website;
    QLabel* m_updatesDescription;
    QPushButton* m_reset;
    QLabel* m_resetDescription;
};
