#include "StderrLogSink.h"

#include <cerrno>
#include <climits>
#include <poll.h>
#include <unistd.h>

namespace {

QByteArray lineOf(const QString& text)
{
    QByteArray line = text.toUtf8();
    if (line.size() >= PIPE_BUF)
        line = line.left(PIPE_BUF - 4) + "...";
    return line + '\n';
}

} // namespace

void StderrLogSink::write(Level level, const QString& subsystem, const QString& category, const QString& message)
{
    const QByteArray line =
        lineOf(subsystem + QStringLiteral(" [") + category + QStringLiteral("] ")
               + (level == Level::Error ? QStringLiteral("error: ") : QStringLiteral("info: ")) + message);
    // One write per line so lines from different threads never interleave.
    const std::lock_guard lock(m_mutex);
    if (m_dropped > 0) {
        const QByteArray note =
            lineOf(subsystem + QStringLiteral(" [") + category
                   + QStringLiteral("] error: %1 log lines dropped: standard error was not being read").arg(m_dropped));
        if (!writeWhole(note)) {
            ++m_dropped;
            return;
        }
        m_dropped = 0;
    }
    if (!writeWhole(line))
        ++m_dropped;
}

// A pipe that polls writable has room for PIPE_BUF bytes, so a shorter
// write neither blocks nor goes out in part.
bool StderrLogSink::writeWhole(const QByteArray& line)
{
    pollfd target{m_fd, POLLOUT, 0};
    if (::poll(&target, 1, 0) != 1 || !(target.revents & POLLOUT))
        return false;
    ssize_t written = -1;
    do {
        written = ::write(m_fd, line.constData(), size_t(line.size()));
    } while (written < 0 && errno == EINTR);
    return written == line.size();
}
