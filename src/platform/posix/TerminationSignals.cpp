#include "platform/TerminationSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// Written by the handler, read by the main thread. The handler only writes one
// byte (the signal number) and keeps errno as it found it.
int g_pipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void handleTerminationSignal(int signalNumber)
{
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    if (g_pipe[1] >= 0) [[maybe_unused]]
        auto written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}
} // namespace

std::unique_ptr<TerminationSignals> TerminationSignals::install()
{
    if (g_pipe[0] >= 0)
        return nullptr;
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds) != 0)
        return nullptr;
    g_pipe[0] = fds[0];
    g_pipe[1] = fds[1];

    struct sigaction action { };
    action.sa_handler = handleTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : kSignals)
        ::sigaction(signalNumber, &action, nullptr);
    return std::unique_ptr<TerminationSignals>(new TerminationSignals(fds[0]));
}

TerminationSignals::TerminationSignals(int readFd)
    : m_readFd(readFd)
    , m_notifier(new QSocketNotifier(readFd, QSocketNotifier::Read, this))
{
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::drain);
}

TerminationSignals::~TerminationSignals()
{
    struct sigaction action { };
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : kSignals)
        ::sigaction(signalNumber, &action, nullptr);
    const int writeFd = g_pipe[1];
    g_pipe[1] = -1;
    g_pipe[0] = -1;
    ::close(writeFd);
    ::close(m_readFd);
}

void TerminationSignals::drain()
{
    char bytes[16];
    for (;;) {
        const ssize_t count = ::read(m_readFd, bytes, sizeof bytes);
        if (count <= 0)
            break;
        for (ssize_t i = 0; i < count; ++i)
            Q_EMIT terminationRequested(static_cast<unsigned char>(bytes[i]));
    }
}
