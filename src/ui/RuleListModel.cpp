#include "RuleListModel.h"

#include "AppIconView.h"
#include "SettingsServices.h"
#include "core/InputSourceManager.h"
#include "core/RuleEngine.h"

RuleListModel::RuleListModel(RuleEngine& ruleEngine, InputSourceManager& inputSourceManager, QObject* parent)
    : QAbstractListModel(parent)
    , m_ruleEngine(ruleEngine)
    , m_inputSourceManager(inputSourceManager)
    , m_rules(ruleEngine.rules())
{
    connect(&m_ruleEngine, &RuleEngine::rulesChanged, this, &RuleListModel::reload);
    connect(&m_inputSourceManager, &InputSourceManager::installedInputSourcesChanged, this, [this] {
        if (!m_rules.isEmpty())
            Q_EMIT dataChanged(index(0), index(int(m_rules.size()) - 1), {TargetNameRole, Qt::AccessibleTextRole});
    });
}

void RuleListModel::reload()
{
    beginResetModel();
    m_rules = m_ruleEngine.rules();
    m_icons.clear();
    m_running.reset();
    endResetModel();
}

int RuleListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rules.size());
}

QVariant RuleListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rules.size())
        return {};
    const AppRule& rule = m_rules.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return rule.appName;
    case Qt::DecorationRole:
        return iconFor(rule.appBundleID);
    case Qt::AccessibleTextRole:
        return rule.appName + QStringLiteral(" → ") + m_inputSourceManager.displayName(rule.targetInputSourceID);
    case RuleRole:
        return QVariant::fromValue(rule);
    case BundleIDRole:
        return rule.appBundleID;
    case TargetNameRole:
        return m_inputSourceManager.displayName(rule.targetInputSourceID);
    default:
        return {};
    }
}

// A null icon stands for "neither installed nor running": the view draws the placeholder.
QIcon RuleListModel::iconFor(const QString& bundleID) const
{
    const auto cached = m_icons.constFind(bundleID);
    if (cached != m_icons.cend())
        return *cached;
    if (!m_running) {
        const auto& services = SettingsServices::current();
        m_running = services.runningApplications ? services.runningApplications() : QList<RunningApplication>{};
    }
    const QIcon icon = AppIconView::lookUpIcon(bundleID, *m_running).value_or(QIcon());
    m_icons.insert(bundleID, icon);
    return icon;
}
