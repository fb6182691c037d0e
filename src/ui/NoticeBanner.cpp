#include "NoticeBanner.h"

#include "SymbolIcon.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

NoticeBanner::NoticeBanner(QWidget* parent, const QColor& tint)
    : QWidget(parent)
    , m_tint(tint)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(16, 10, 16, 10);
    auto* symbol = new QLabel(this);
    symbol->setPixmap(SymbolIcon::pixmap(QStringLiteral("exclamationmark.triangle.fill"), m_tint.darker(110), 18,
                                         devicePixelRatioF()));
    row->addWidget(symbol, 0, Qt::AlignTop);
    m_text = new QLabel(this);
    QFont medium = m_text->font();
    medium.setWeight(QFont::Medium);
    m_text->setFont(medium);
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    // A banner may name a command to run; it can be copied from here.
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row->addWidget(m_text, 1);
}

QString NoticeBanner::text() const
{
    return m_text->text();
}

void NoticeBanner::setText(const QString& text)
{
    m_text->setText(text);
}

void NoticeBanner::addTrailingButton(QPushButton* button)
{
    static_cast<QHBoxLayout*>(layout())->addWidget(button, 0, Qt::AlignTop);
}

void NoticeBanner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QColor fill = m_tint;
    fill.setAlphaF(0.2);
    painter.fillRect(rect(), fill);
    QColor line = m_tint;
    line.setAlphaF(0.4);
    painter.fillRect(QRect(0, height() - 1, width(), 1), line);
}
