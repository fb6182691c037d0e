#pragma once

#include "LogSink.h"

#include <mutex>

// Writes one line per message to standard error: "<subsystem> [<category>] <level>: <message>".
//
// Never waits for standard error: when it is a pipe that nobody reads (a
// launcher that keeps it, a pager stopped on it), lines are dropped and
// counted instead of stopping the thread that logs, which is the one that
// switches. The next line that gets through says how many were lost. Lines
// longer than PIPE_BUF are cut to it, so that each goes out whole or not at all.
class StderrLogSink : public LogSink {
public:
    explicit StderrLogSink(int fd = 2)
        : m_fd(fd)
    {
    }

    void write(Level level, const QString& subsystem, const QString& category, const QString& message) override;

private:
    bool writeWhole(const QByteArray& line);

    int m_fd;
    std::mutex m_mutex;
    long m_dropped = 0;
};
