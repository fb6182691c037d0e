#pragma once

#include "platform/RunningApplication.h"

#include <QDialog>
#include <QList>
#include <QPointer>

#include <optional>

#include "ApplicationChooser.h"
class InputSourceManager;
class QComboBox;
class QLabel;
#include <QMessageBox>
class QPushButton;
class RuleEngine;
class QGroupBox;

// The sheet that creates a rule: a running application or an application
// entry chosen on disk, and the input source to switch to.
class AddRuleView : public QDialog {
    Q_OBJECT
public:
    AddRuleView(RuleEngine& ruleEngine, InputSourceManager& inputSourceManager, QWidget* parent = nullptr);

    // The regular applications, ascending by name (plain code-point order
    // after canonical normalisation; a missing name counts as empty).
    static QList<RunningApplication> sortedRegularApplications(QList<RunningApplication> apps);
    // The interface language as a desktop-entry locale ("de", "pt_BR", ...).
    static QString desktopEntryLanguage();

    QList<RunningApplication> runningApps() const { return m_runningApps; }
    std::optional<RunningApplication> selectedApp() const;
    QString selectedInputSourceID() const;
    std::optional<QString> manualAppName() const { return m_manualAppName; }
    std::optional<QString> manualBundleID() const { return m_manualBundleID; }
    std::optional<QString> errorMessage() const { return m_errorMessage; }
    bool canAdd() const;

    // The file chooser's answer.
    void handleChosenFiles(const QStringList& paths);

    void selectRunningApp(int index); // -1: none
    void selectInputSource(const QString& id);
    void addRule();
    // Opens the application chooser.
    void openApplicationChooser();

    QComboBox* runningAppsPicker() const { return m_apps; }
    QComboBox* inputSourcePicker() const { return m_sources; }
    QLabel* manualRow() const { return m_manualName; }
    QPushButton* chooseButton() const { return m_choose; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* cancelButton() const { return m_cancel; }
    QMessageBox* errorAlert() const { return m_errorAlert; }
    ApplicationChooser* applicationChooser() const { return m_chooser; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void fillPickers();
    void showError(const QString& message);
    void refresh();
    void useChosenApplication(const QString& id, const QString& name);

    RuleEngine& m_ruleEngine;
    InputSourceManager& m_inputSourceManager;
    QList<RunningApplication> m_runningApps;
    std::optional<QString> m_manualAppName;
    std::optional<QString> m_manualBundleID;
    std::optional<QString> m_errorMessage;

    QLabel* m_title;
    QGroupBox* m_appSection;
    QGroupBox* m_sourceSection;
    QLabel* m_appsLabel;
    QLabel* m_sourcesLabel;
    QComboBox* m_apps;
    QWidget* m_manualRow;
    QLabel* m_manualName;
    QLabel* m_manualID;
    QPushButton* m_choose;
    QComboBox* m_sources;
    QPushButton* m_cancel;
    QPushButton* m_add;
    QPointer<QMessageBox> m_errorAlert;
    QPointer<ApplicationChooser> m_chooser;
};
