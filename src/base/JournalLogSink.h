#pragma once

#include "LogSink.h"
#include "StderrLogSink.h"

// Sends each message to the systemd journal with the subsystem and category as
// fields; falls back to standard error for any message the journal refuses.
class JournalLogSink : public LogSink {
public:
    void write(Level level, const QString& subsystem, const QString& category, const QString& message) override;

    static bool isJournalReachable();

private:
    StderrLogSink m_fallback;
};
