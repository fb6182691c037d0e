#pragma once

#include "core/AppRule.h"

#include <QWidget>

class InputSourceManager;
class QLabel;

// One rule of the list: the application's icon, name and identifier, an arrow
// and the target input source's name on a capsule. Read only.
class RuleRow : public QWidget {
    Q_OBJECT
public:
    RuleRow(const AppRule& rule, const InputSourceManager& inputSourceManager, QWidget* parent = nullptr);

    const AppRule& rule() const { return m_rule; }
    QString targetText() const;

private:
    AppRule m_rule;
    QLabel* m_target;
};
