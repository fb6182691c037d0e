#pragma once

#include "LogSink.h"

// Writes one line per message to standard error: "<subsystem> [<category>] <level>: <message>".
class StderrLogSink : public LogSink {
public:
    void write(Level level, const QString& subsystem, const QString& category,
               const QString& message) override;
};
