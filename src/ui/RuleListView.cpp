#include "RuleListView.h"

#include "AddRuleView.h"
#include "EditRuleView.h"
#include "EmptyStateView.h"
#include "RuleListModel.h"
#include "RuleRow.h"
#include "SymbolIcon.h"
#include "UiStyle.h"
#include "base/Tolvane.h"
#include "core/InputSourceManager.h"
#include "core/RuleEngine.h"
#include "platform/InputSourceProvider.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>

RuleListView::RuleListView(RuleEngine& ruleEngine, InputSourceManager& inputSourceManager, QWidget* parent)
    : QWidget(parent)
    , m_ruleEngine(ruleEngine)
    , m_inputSourceManager(inputSourceManager)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(16, 10, 12, 10);
    m_title = new QLabel(this);
    m_title->setFont(UiStyle::titleFont(font(), 1.3));
    header->addWidget(m_title, 1);
    m_addRule = new QPushButton(SymbolIcon::icon(QStringLiteral("plus")), QString(), this);
    connect(m_addRule, &QPushButton::clicked, this, &RuleListView::openAddSheet);
    header->addWidget(m_addRule);
    column->addLayout(header);

    m_stack = new QStackedWidget(this);
    m_empty = new EmptyStateView([this] { openAddSheet(); }, m_stack);
    m_stack->addWidget(m_empty);

    auto* listPage = new QWidget(m_stack);
    auto* listColumn = new QVBoxLayout(listPage);
    listColumn->setContentsMargins(0, 0, 0, 0);
    listColumn->setSpacing(0);
    m_model = new RuleListModel(m_ruleEngine, m_inputSourceManager, this);
    m_rowDelegate = new RuleRow(this);
    m_list = new QListView(listPage);
    m_list->setModel(m_model);
    m_list->setItemDelegate(m_rowDelegate);
    // Every row has the same height, so the view never measures rows off screen.
    m_list->setUniformItemSizes(true);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->installEventFilter(this);
    connect(m_list, &QListView::clicked, this, [this](const QModelIndex& index) {
        if (QApplication::keyboardModifiers() & (Qt::ControlModifier | Qt::ShiftModifier))
            return; // extending the selection, not opening a rule
        editRuleAt(index);
    });
    connect(m_list, &QListView::customContextMenuRequested, this, &RuleListView::showContextMenu);
    listColumn->addWidget(m_list, 1);

    auto* divider = new QFrame(listPage);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    listColumn->addWidget(divider);

    auto* bar = new QWidget(listPage);
    bar->setAutoFillBackground(true);
    bar->setBackgroundRole(QPalette::Window);
    auto* barRow = new QHBoxLayout(bar);
    barRow->setContentsMargins(12, 8, 12, 8);
    m_minus = new QPushButton(SymbolIcon::icon(QStringLiteral("minus")), QString(), bar);
    m_minus->setFlat(true);
    m_minus->setEnabled(false);
    barRow->addWidget(m_minus);
    barRow->addStretch(1);
    m_count = new QLabel(bar);
    m_count->setFont(UiStyle::captionFont(font()));
    UiStyle::makeSecondary(m_count);
    barRow->addWidget(m_count);
    barRow->addStretch(1);
    m_plus = new QPushButton(SymbolIcon::icon(QStringLiteral("plus")), QString(), bar);
    m_plus->setFlat(true);
    connect(m_plus, &QPushButton::clicked, this, &RuleListView::openAddSheet);
    barRow->addWidget(m_plus);
    listColumn->addWidget(bar);
    m_stack->addWidget(listPage);
    column->addWidget(m_stack, 1);

    connect(&m_ruleEngine, &RuleEngine::rulesChanged, this, &RuleListView::reload);
    retranslate();
    reload();
}

QString RuleListView::countText(qsizetype count)
{
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? Tolvane::tr("Rule") : Tolvane::tr("Rules"));
}

void RuleListView::reload()
{
    const qsizetype count = m_model->rowCount();
    m_count->setText(countText(count));
    m_stack->setCurrentIndex(count == 0 ? 0 : 1);
}

void RuleListView::editRuleAt(const QModelIndex& index)
{
    if (index.isValid() && index.row() < m_model->rowCount())
        openEditSheet(m_model->ruleAt(index.row()));
}

void RuleListView::retranslate()
{
    m_title->setText(Tolvane::tr("Rules"));
    m_addRule->setText(Tolvane::tr("Add Rule"));
    m_addRule->setAccessibleName(Tolvane::tr("Add Rule"));
    m_plus->setToolTip(Tolvane::tr("Add Rule"));
    m_plus->setAccessibleName(Tolvane::tr("Add Rule"));
    m_minus->setAccessibleName(Tolvane::tr("Delete"));
    m_list->setAccessibleName(Tolvane::tr("Rules"));
    m_count->setText(countText(m_model->rowCount()));
}

void RuleListView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

bool RuleListView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace) {
            deleteSelectedRules();
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && m_list->currentIndex().isValid()) {
            editRuleAt(m_list->currentIndex());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void RuleListView::showContextMenu(const QPoint& position)
{
    if (!m_list->selectionModel()->hasSelection())
        return;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(Tolvane::tr("Delete"), this, &RuleListView::deleteSelectedRules);
    menu->popup(m_list->viewport()->mapToGlobal(position));
}

void RuleListView::deleteSelectedRules()
{
    QList<int> positions;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
        positions.append(index.row());
    deleteRulesAt(positions);
}

void RuleListView::deleteRulesAt(QList<int> positions)
{
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    const QList<AppRule> rules = m_ruleEngine.rules();
    QList<QUuid> ids;
    for (int position : std::as_const(positions)) {
        if (position >= 0 && position < rules.size())
            ids.append(rules.at(position).id);
    }
    for (const QUuid& id : std::as_const(ids))
        m_ruleEngine.deleteRule(id);
}

void RuleListView::openAddSheet()
{
    if (m_addSheet || m_editSheet)
        return;
    m_addSheet = new AddRuleView(m_ruleEngine, m_inputSourceManager, window());
    m_addSheet->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_addSheet, &QDialog::finished, this, [this] { m_addSheet = nullptr; });
    m_addSheet->open();
}

void RuleListView::openEditSheet(const AppRule& rule)
{
    if (m_addSheet || m_editSheet)
        return;
    m_editingRule = rule;
    m_editSheet = new EditRuleView(m_ruleEngine, m_inputSourceManager, rule, window());
    m_editSheet->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_editSheet, &QDialog::finished, this, [this] {
        m_editingRule.reset();
        m_editSheet = nullptr;
    });
    m_editSheet->open();
}
