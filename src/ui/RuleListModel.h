#pragma once

#include "core/AppRule.h"
#include "platform/RunningApplication.h"

#include <QAbstractListModel>
#include <QHash>
#include <QIcon>
#include <QList>

#include <optional>

class InputSourceManager;
class RuleEngine;

// The engine's rules as a list model, one row per rule in list order. What a
// row shows (the target's display name, the application's icon) is worked out
// only when the view asks for it, that is for the rows on screen; icons are
// looked up once per application until the rules change.
class RuleListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        RuleRole = Qt::UserRole + 1, // the AppRule
        BundleIDRole,
        TargetNameRole, // the target input source's display name
    };

    RuleListModel(RuleEngine& ruleEngine, InputSourceManager& inputSourceManager, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    AppRule ruleAt(int row) const { return m_rules.at(row); }

private:
    void reload();
    QIcon iconFor(const QString& bundleID) const;

    RuleEngine& m_ruleEngine;
    InputSourceManager& m_inputSourceManager;
    QList<AppRule> m_rules;
    mutable QHash<QString, QIcon> m_icons;
    mutable std::optional<QList<RunningApplication>> m_running;
};
