#include "DesktopConflictBanner.h"

#include "base/Preferences.h"
#include "base/Tolvane.h"
#include "platform/DesktopConflictMonitor.h"

#include <QEvent>
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
    : NoticeBanner(parent, kOrange)
    , m_monitor(monitor)
{
    m_dismiss = new QPushButton(this);
    connect(m_dismiss, &QPushButton::clicked, this, &DesktopConflictBanner::dismiss);
    addTrailingButton(m_dismiss);
    if (m_monitor)
        connect(m_monitor, &DesktopConflictMonitor::conflictsChanged, this, &DesktopConflictBanner::showConflicts);
    showConflicts();
}

void DesktopConflictBanner::showConflicts()
{
    m_standing.clear();
    m_shown.reset();
    if (m_monitor) {
        const QStringList dismissed = dismissedKeys();
        for (const DesktopConflict& conflict : m_monitor->conflicts()) {
            if (!conflict.dismissable)
                m_standing.append(conflict);
            else if (!m_shown && !dismissed.contains(conflict.key))
                m_shown = conflict;
        }
    }
    retranslate();
    m_dismiss->setVisible(m_shown.has_value());
    setVisible(!m_standing.isEmpty() || m_shown.has_value());
}

void DesktopConflictBanner::dismiss()
{
    if (m_shown) {
        QStringList dismissed = dismissedKeys();
        dismissed.append(m_shown->key);
        Preferences::setValue(QString::fromLatin1(kDismissedKey), dismissed);
    }
    showConflicts();
}

void DesktopConflictBanner::retranslate()
{
    QStringList paragraphs;
    for (const DesktopConflict& conflict : std::as_const(m_standing))
        paragraphs.append(conflict.translatedText());
    if (m_shown)
        paragraphs.append(m_shown->translatedText());
    setText(paragraphs.join(QStringLiteral("\n\n")));
    m_dismiss->setText(Tolvane::tr("Dismiss"));
}

void DesktopConflictBanner::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    NoticeBanner::changeEvent(event);
}
