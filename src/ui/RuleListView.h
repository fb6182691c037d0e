#pragma once

#include "AddRuleView.h"
#include "EditRuleView.h"
#include "core/AppRule.h"

#include <QPointer>
#include <QWidget>

#include <optional>

class EmptyStateView;
class InputSourceManager;
class QLabel;
class QListView;
class QPushButton;
class QStackedWidget;
class RuleEngine;
class RuleListModel;
class RuleRow;

// The rule list page: the rules in order (or the empty state), a count bar,
// and the add and edit sheets. A click (or Return) on a row edits its rule;
// Delete or the context menu removes the selected rows.
class RuleListView : public QWidget {
    Q_OBJECT
public:
    RuleListView(RuleEngine& ruleEngine, InputSourceManager& inputSourceManager, QWidget* parent = nullptr);

    bool showingAddSheet() const { return m_addSheet != nullptr; }
    std::optional<AppRule> editingRule() const { return m_editingRule; }
    AddRuleView* addSheet() const { return m_addSheet; }
    EditRuleView* editSheet() const { return m_editSheet; }

    void openAddSheet();
    void openEditSheet(const AppRule& rule);
    // Removes the rules shown at these positions, each by its identifier, in
    // ascending order of position; the rules are collected before any goes.
    void deleteRulesAt(QList<int> positions);
    void deleteSelectedRules();

    static QString countText(qsizetype count);

    QListView* list() const { return m_list; }
    RuleListModel* model() const { return m_model; }
    EmptyStateView* emptyState() const { return m_empty; }
    QLabel* countLabel() const { return m_count; }
    QPushButton* addButton() const { return m_addRule; }
    QPushButton* minusButton() const { return m_minus; }
    QPushButton* plusButton() const { return m_plus; }

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void reload();
    void retranslate();
    void editRuleAt(const QModelIndex& index);
    void showContextMenu(const QPoint& position);

    RuleEngine& m_ruleEngine;
    InputSourceManager& m_inputSourceManager;
    std::optional<AppRule> m_editingRule;
    QPointer<AddRuleView> m_addSheet;
    QPointer<EditRuleView> m_editSheet;

    QLabel* m_title;
    QPushButton* m_addRule;
    QStackedWidget* m_stack;
    EmptyStateView* m_empty;
    QListView* m_list;
    RuleListModel* m_model;
    RuleRow* m_rowDelegate;
    QLabel* m_count;
    QPushButton* m_minus;
    QPushButton* m_plus;
};
