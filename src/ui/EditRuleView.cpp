#include "EditRuleView.h"

#include "AppIconView.h"
#include "UiStyle.h"
#include "WheelGuard.h"
#include "base/Tolvane.h"
#include "core/InputSourceManager.h"
#include "core/RuleEngine.h"
#include "platform/InputSourceProvider.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

EditRuleView::EditRuleView(RuleEngine& ruleEngine, InputSourceManager& inputSourceManager, const AppRule& rule,
                           QWidget* parent)
    : QDialog(parent)
    , m_ruleEngine(ruleEngine)
    , m_inputSourceManager(inputSourceManager)
    , m_rule(rule)
{
    setWindowModality(Qt::WindowModal);
    setFixedSize(400, 380);

    auto* column = new QVBoxLayout(this);
    column->setSpacing(20);
    m_title = new QLabel(this);
    m_title->setFont(UiStyle::headlineFont(font()));
    m_title->setAlignment(Qt::AlignCenter);
    column->addWidget(m_title);

    m_appSection = new QGroupBox(this);
    auto* appRow = new QHBoxLayout(m_appSection);
    appRow->setContentsMargins(10, 4, 10, 4);
    appRow->addWidget(new AppIconView(rule.appBundleID, 32, m_appSection));
    auto* names = new QVBoxLayout;
    names->setSpacing(0);
    auto* name = new QLabel(rule.appName, m_appSection);
    name->setTextFormat(Qt::PlainText);
    name->setFont(UiStyle::headlineFont(font()));
    auto* bundle = new QLabel(rule.appBundleID, m_appSection);
    bundle->setTextFormat(Qt::PlainText);
    bundle->setFont(UiStyle::captionFont(font()));
    UiStyle::makeSecondary(bundle);
    names->addWidget(name);
    names->addWidget(bundle);
    appRow->addLayout(names, 1);
    column->addWidget(m_appSection);

    m_sourceSection = new QGroupBox(this);
    auto* form = new QFormLayout(m_sourceSection);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_sources = new QComboBox(m_sourceSection);
    m_sourcesLabel = new QLabel(m_sourceSection);
    m_sourcesLabel->setBuddy(m_sources);
    form->addRow(m_sourcesLabel, m_sources);
    m_enabled = new QCheckBox(m_sourceSection);
    form->addRow(m_enabled);
    column->addWidget(m_sourceSection);
    column->addStretch(1);

    auto* buttons = new QHBoxLayout;
    m_delete = new QPushButton(this);
    QPalette red = m_delete->palette();
    red.setColor(QPalette::ButtonText, UiStyle::destructiveColor(red));
    m_delete->setPalette(red);
    m_delete->setAutoDefault(false);
    m_cancel = new QPushButton(this);
    m_cancel->setAutoDefault(false);
    m_save = new QPushButton(this);
    m_save->setDefault(true);
    buttons->addWidget(m_delete);
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_save);
    column->addLayout(buttons);

    connect(m_delete, &QPushButton::clicked, this, &EditRuleView::deleteRule);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_save, &QPushButton::clicked, this, &EditRuleView::save);
    connect(m_sources, &QComboBox::currentIndexChanged, this, &EditRuleView::refresh);

    // Loaded from the rule as the sheet appears.
    m_enabled->setChecked(rule.isEnabled);
    retranslate();
    WheelGuard::protect(this);
}

void EditRuleView::fillPicker()
{
    const QString current = m_sources->count() ? selectedInputSourceID() : m_rule.targetInputSourceID;
    const QSignalBlocker blocker(m_sources);
    m_sources->clear();
    for (const InputSource& source : m_inputSourceManager.installedInputSources())
        m_sources->addItem(source.name, source.id);
    // A target that is no longer installed stays the value, shown by its identifier.
    if (!current.isEmpty() && m_sources->findData(current) < 0)
        m_sources->addItem(m_inputSourceManager.displayName(current), current);
    m_sources->setCurrentIndex(m_sources->findData(current));
    refresh();
}

QString EditRuleView::selectedInputSourceID() const
{
    return m_sources->currentIndex() < 0 ? QString() : m_sources->currentData().toString();
}

bool EditRuleView::isRuleEnabled() const
{
    return m_enabled->isChecked();
}

void EditRuleView::refresh()
{
    m_save->setEnabled(!selectedInputSourceID().isEmpty());
}

void EditRuleView::retranslate()
{
    setWindowTitle(Tolvane::tr("Edit Rule"));
    m_title->setText(Tolvane::tr("Edit Rule"));
    UiStyle::setSectionTitle(m_appSection, Tolvane::tr("Target App"));
    UiStyle::setSectionTitle(m_sourceSection, Tolvane::tr("Input Source"));
    m_sourcesLabel->setText(Tolvane::tr("Switch To"));
    m_sources->setAccessibleName(Tolvane::tr("Switch To"));
    m_enabled->setText(Tolvane::tr("Enabled"));
    m_delete->setText(Tolvane::tr("Delete"));
    m_cancel->setText(Tolvane::tr("Cancel"));
    m_save->setText(Tolvane::tr("Save"));
    fillPicker();
}

void EditRuleView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void EditRuleView::save()
{
    if (selectedInputSourceID().isEmpty())
        return;
    AppRule updated = m_rule;
    updated.targetInputSourceID = selectedInputSourceID();
    updated.isEnabled = m_enabled->isChecked();
    m_ruleEngine.addRule(updated);
    accept();
}

void EditRuleView::deleteRule()
{
    m_ruleEngine.deleteRule(m_rule.id);
    accept();
}
