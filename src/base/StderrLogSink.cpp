#include "StderrLogSink.h"

#include <cstdio>

void StderrLogSink::write(Level level, const QString& subsystem, const QString& category,
                          const QString& message)
{
    const QByteArray line = (subsystem + QStringLiteral(" [") + category + QStringLiteral("] ")
                             + (level == Level::Error ? QStringLiteral("error: ") : QStringLiteral("info: "))
                             + message + QLatin1Char('\n'))
                                .toUtf8();
    // One write per line so lines from different threads never interleave.
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}
