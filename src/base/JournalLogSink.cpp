#include "JournalLogSink.h"

#include <QFileInfo>

#include <syslog.h>
#include <systemd/sd-journal.h>

bool JournalLogSink::isJournalReachable()
{
    return QFileInfo::exists(QStringLiteral("/run/systemd/journal/socket"));
}

void JournalLogSink::write(Level level, const QString& subsystem, const QString& category, const QString& message)
{
    const QByteArray text = message.toUtf8();
    const QByteArray sub = subsystem.toUtf8();
    const QByteArray cat = category.toUtf8();
    // The message is always an argument, never a format, so '%' is logged verbatim.
    const int result = sd_journal_send("MESSAGE=%s", text.constData(), "PRIORITY=%d",
                                       level == Level::Error ? LOG_ERR : LOG_INFO, "SYSLOG_IDENTIFIER=%s", "tolvane",
                                       "SUBSYSTEM=%s", sub.constData(), "CATEGORY=%s", cat.constData(), nullptr);
    if (result < 0)
        m_fallback.write(level, subsystem, category, message);
}
