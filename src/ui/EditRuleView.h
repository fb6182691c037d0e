#pragma once

#include "core/AppRule.h"

#include <QDialog>

class InputSourceManager;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class RuleEngine;

// The sheet that changes one rule's input source and enabled flag, or
// deletes the rule. It works on the copy of the rule taken when it opened.
class EditRuleView : public QDialog {
    Q_OBJECT
public:
    EditRuleView(RuleEngine& ruleEngine, InputSourceManager& inputSourceManager, const AppRule& rule,
                 QWidget* parent = nullptr);

    const AppRule& rule() const { return m_rule; }
    QString selectedInputSourceID() const;
    bool isRuleEnabled() const;

    void save();
    void deleteRule();

    QComboBox* inputSourcePicker() const { return m_sources; }
    QCheckBox* enabledToggle() const { return m_enabled; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* cancelButton() const { return m_cancel; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void fillPicker();
    void refresh();

    RuleEngine& m_ruleEngine;
    InputSourceManager& m_inputSourceManager;
    AppRule m_rule;

    QLabel* m_title;
    QGroupBox* m_appSection;
    QGroupBox* m_sourceSection;
    QLabel* m_sourcesLabel;
    QComboBox* m_sources;
    QCheckBox* m_enabled;
    QPushButton* m_delete;
    QPushButton* m_cancel;
    QPushButton* m_save;
};
