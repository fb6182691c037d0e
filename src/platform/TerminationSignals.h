#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

// Turns the requests to end the process that arrive from outside (SIGTERM,
// SIGINT, SIGHUP on POSIX systems) into a Qt signal delivered on the main
// thread, so that the application can leave its event loop the normal way.
// At most one instance may exist at a time.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Null when the handlers could not be installed.
    static std::unique_ptr<TerminationSignals> install();
    ~TerminationSignals() override;

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    explicit TerminationSignals(int readFd);
    void drain();

    int m_readFd;
    QSocketNotifier* m_notifier;
};
