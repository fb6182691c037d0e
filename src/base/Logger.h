#pragma once

#include "LogSink.h"

#include <QLoggingCategory>
#include <QString>

#include <atomic>

// The application's one diagnostic channel: subsystem = the application's
// desktop id ("com.kelvora" without one), category "Core", levels info and error.
// Safe to call from any thread. Whether info is enabled follows Qt's logging
// rules for the category "com.kelvora.Tolvane.Core" (QT_LOGGING_RULES).
class Logger {
public:
    static Logger& shared();

    void info(const QString& message);
    void error(const QString& message);

    QString subsystem() const { return m_subsystem; }
    static QString category() { return QStringLiteral("Core"); }

    // Redirects messages, for tests. Pass nullptr to go back to the system log.
    void setSink(LogSink* sink);

private:
    Logger();
    LogSink& sink() const;

    QString m_subsystem;
    std::atomic<LogSink*> m_sink{nullptr};
};

Q_DECLARE_LOGGING_CATEGORY(lcTolvaneCore)
