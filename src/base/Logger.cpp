#include "Logger.h"

#include "StderrLogSink.h"
#ifdef TOLVANE_WITH_JOURNAL
#include "JournalLogSink.h"
#endif

#include <QGuiApplication>

Q_LOGGING_CATEGORY(lcTolvaneCore, "com.kelvora.Tolvane.Core")

namespace {
QString subsystemName()
{
    const QString desktopId = QGuiApplication::desktopFileName();
    return desktopId.isEmpty() ? QStringLiteral("com.kelvora") : desktopId;
}
} // namespace

LogSink& systemLogSink()
{
    static StderrLogSink standardError;
#ifdef TOLVANE_WITH_JOURNAL
    static JournalLogSink journal;
    // TOLVANE_LOG_STDERR=1 keeps the log in the terminal (make run on a private desktop).
    static LogSink& chosen = JournalLogSink::isJournalReachable() && qEnvironmentVariableIsEmpty("TOLVANE_LOG_STDERR")
        ? static_cast<LogSink&>(journal)
        : static_cast<LogSink&>(standardError);
    return chosen;
#else
    return standardError;
#endif
}

Logger& Logger::shared()
{
    static Logger instance;
    return instance;
}

Logger::Logger()
    : m_subsystem(subsystemName())
{
}

LogSink& Logger::sink() const
{
    LogSink* overridden = m_sink.load();
    return overridden ? *overridden : systemLogSink();
}

void Logger::setSink(LogSink* sink)
{
    m_sink.store(sink);
}

void Logger::info(const QString& message)
{
    if (!lcTolvaneCore().isInfoEnabled())
        return;
    sink().write(LogSink::Level::Info, m_subsystem, category(), message);
}

void Logger::error(const QString& message)
{
    sink().write(LogSink::Level::Error, m_subsystem, category(), message);
}
