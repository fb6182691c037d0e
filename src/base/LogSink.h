#pragma once

#include <QString>

// Where diagnostic messages end up. Implementations must be callable from any thread.
class LogSink {
public:
    enum class Level { Info, Error };
    virtual ~LogSink() = default;
    virtual void write(Level level, const QString& subsystem, const QString& category, const QString& message) = 0;
};

// The system log when one is reachable (the systemd journal on Linux), else
// standard error. Created once, lives for the process.
LogSink& systemLogSink();
