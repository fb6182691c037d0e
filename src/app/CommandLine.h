#pragma once

#include <QDBusConnection>
#include <QStringList>
#include <QTextStream>

// `tolvane --option`: tells the running Tolvane what to do, or reports on it,
// through its D-Bus interface, and ends.
//
// Exit status: 0 done; 1 Tolvane is not running or the call failed (one line
// on standard error); 2 the command line was not understood (the help follows).
class CommandLine {
public:
    enum ExitCode { Success = 0, Failure = 1, Usage = 2 };

    // Whether `arguments` (the program name first) ask for anything but a plain start.
    static bool hasOptions(const QStringList& arguments) { return arguments.size() > 1; }

    CommandLine(const QDBusConnection& connection, QTextStream& out, QTextStream& err);

    int run(const QStringList& arguments);

private:
    int call(const QString& method, bool autoStart = false);
    int printStatus(bool json);
    int printInputSources(bool json);
    int printApplications(bool json);
    // Calls `method`; on failure prints why and returns nothing.
    std::optional<QDBusMessage> ask(const QString& service, const QString& interface, const QString& method,
                                    const QVariantList& arguments = {}, bool autoStart = false);

    QDBusConnection m_connection;
    QTextStream& m_out;
    QTextStream& m_err;
};
