#include "RuleRow.h"

#include "AppIconView.h"
#include "SymbolIcon.h"
#include "UiStyle.h"
#include "core/InputSourceManager.h"
#include "platform/InputSourceProvider.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

RuleRow::RuleRow(const AppRule& rule, const InputSourceManager& inputSourceManager, QWidget* parent)
    : QWidget(parent)
    , m_rule(rule)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 4, 10, 4);
    row->addWidget(new AppIconView(rule.appBundleID, 32, this));

    auto* names = new QVBoxLayout;
    names->setSpacing(0);
    auto* name = new QLabel(rule.appName, this);
    name->setFont(UiStyle::headlineFont(font()));
    name->setTextFormat(Qt::PlainText);
    auto* bundle = new QLabel(rule.appBundleID, this);
    bundle->setTextFormat(Qt::PlainText);
    bundle->setFont(UiStyle::captionFont(font()));
    UiStyle::makeSecondary(bundle);
    names->addWidget(name);
    names->addWidget(bundle);
    row->addLayout(names, 1);

    auto* arrow = new QLabel(this);
    arrow->setPixmap(SymbolIcon::pixmap(QStringLiteral("arrow.right"), UiStyle::secondaryColor(palette()), 14,
                                        devicePixelRatioF()));
    row->addWidget(arrow);

    m_target = new QLabel(inputSourceManager.displayName(rule.targetInputSourceID), this);
    m_target->setTextFormat(Qt::PlainText);
    m_target->setContentsMargins(8, 4, 8, 4);
    m_target->setObjectName(QStringLiteral("targetCapsule"));
    m_target->setStyleSheet(QStringLiteral("#targetCapsule { background: rgba(128,128,128,51); border-radius: 10px; }"));
    row->addWidget(m_target);

    setAccessibleName(rule.appName + QStringLiteral(" → ") + m_target->text());
}

QString RuleRow::targetText() const
{
    return m_target->text();
}
