#include "DesktopConflictBanner.h"

#include "SymbolIcon.h"
#include "base/Preferences.h"
#include "base/Tolvane.h"
#include "platform/DesktopConflictMonitor.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {
const QColor kOrange(0xff, 0x95, 0x00);

QStringList dismissedKeys()
{
    return Preferences::stringListValue(QString::fromLatin1(DesktopConflictBanner::kDismissedKey))
        .value_or(QStringList());
}
} // namespace

DesktopConflictBanner::DesktopConflictBanner(DesktopConflictMonitor* monitor, QWidget* parent)
    : QWidget(parent)
    , m_monitor(monitor)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(16, 10, 16, 10);
    auto* symbol = new QLabel(this);
    symbol->setPixmap(SymbolIcon::pixmap(QStringLiteral("exclamationmark.triangle.fill"), kOrange.darker(110), 18,
                                         devicePixelRatioF()));
    row->addWidget(symbol, 0, Qt::AlignTop);
    m_text = new QLabel(this);
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row->addWidget(m_text, 1);
    m_dismiss = new QPushButton(this);
    connect(m_dismiss, &QPushButton::clicked, this, &DesktopConflictBanner::dismiss);
    row->addWidget(m_dismiss, 0, Qt::AlignTop);
    if (m_monitor)
        connect(m_monitor, &DesktopConflictMonitor::conflictsChanged, this, &DesktopConflictBanner::showFirstConflict);
    showFirstConflict();
}

QString DesktopConflictBanner::text() const
{
    return m_text->text();
}

void DesktopConflictBanner::showFirstConflict()
{
    m_shown.reset();
    if (m_monitor) {
        const QStringList dismissed = dismissedKeys();
        for (const DesktopConflict& conflict : m_monitor->conflicts()) {
            if (!dismissed.contains(conflict.key)) {
                m_shown = conflict;
                break;
            }
        }
    }
    retranslate();
    setVisible(m_shown.has_value());
}

void DesktopConflictBanner::dismiss()
{
    if (m_shown) {
        QStringList dismissed = dismissedKeys();
        dismissed.append(m_shown->key);
        Preferences::setValue(QString::fromLatin1(kDismissedKey), dismissed);
    }
    showFirstConflict();
}

void DesktopConflictBanner::retranslate()
{
    m_text->setText(m_shown ? m_shown->translatedText() : QString());
    m_dismiss->setText(Tolvane::tr("Dismiss"));
}

void DesktopConflictBanner::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void DesktopConflictBanner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QColor fill = kOrange;
    fill.setAlphaF(0.18);
    painter.fillRect(rect(), fill);
    QColor line = kOrange;
    line.setAlphaF(0.4);
    painter.fillRect(QRect(0, height() - 1, width(), 1), line);
}
