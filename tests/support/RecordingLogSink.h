#pragma once

#include "base/LogSink.h"
#include "base/Logger.h"

#include <QMutex>
#include <QStringList>

// Captures the application log while it is installed.
class RecordingLogSink : public LogSink {
public:
    RecordingLogSink() { Logger::shared().setSink(this); }
    ~RecordingLogSink() override { Logger::shared().setSink(nullptr); }

    void write(Level level, const QString&, const QString&, const QString& message) override
    {
        QMutexLocker lock(&m_mutex);
        m_lines.append((level == Level::Error ? QStringLiteral("error: ") : QStringLiteral("info: ")) + message);
    }

    QStringList lines() const
    {
        QMutexLocker lock(&m_mutex);
        return m_lines;
    }
    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_lines.clear();
    }

private:
    mutable QMutex m_mutex;
    QStringList m_lines;
};
