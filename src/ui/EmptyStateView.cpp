#include "EmptyStateView.h"

#include "SymbolIcon.h"
#include "UiStyle.h"
#include "base/Tolvane.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

EmptyStateView::EmptyStateView(std::function<void()> onAdd, QWidget* parent)
    : QWidget(parent)
    , m_onAdd(std::move(onAdd))
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);

    auto* column = new QVBoxLayout(this);
    column->setSpacing(20);
    column->addStretch(1);

    auto* symbol = new QLabel(this);
    symbol->setPixmap(SymbolIcon::pixmap(QStringLiteral("keyboard.badge.ellipsis"), UiStyle::secondaryColor(palette()),
                                         60, devicePixelRatioF()));
    symbol->setAlignment(Qt::AlignCenter);
    column->addWidget(symbol);

    m_title = new QLabel(this);
    m_title->setFont(UiStyle::titleFont(font(), 1.45));
    m_title->setAlignment(Qt::AlignCenter);
    column->addWidget(m_title);

    m_message = new QLabel(this);
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    m_message->setContentsMargins(16, 0, 16, 0);
    UiStyle::makeSecondary(m_message);
    column->addWidget(m_message);

    m_create = new QPushButton(this);
    m_create->setFont(UiStyle::headlineFont(font()));
    m_create->setDefault(true);
    m_create->setStyleSheet(QStringLiteral("QPushButton { padding: 8px 12px; }"));
    connect(m_create, &QPushButton::clicked, this, [this] {
        if (m_onAdd)
            m_onAdd();
    });
    column->addSpacing(10);
    column->addWidget(m_create, 0, Qt::AlignHCenter);
    column->addStretch(1);

    retranslate();
}

void EmptyStateView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void EmptyStateView::retranslate()
{
    m_title->setText(Tolvane::tr("No Rules Yet"));
    m_message->setText(Tolvane::tr("Add a rule to automatically switch input sources when an app is active."));
    m_create->setText(Tolvane::tr("Create First Rule"));
}
