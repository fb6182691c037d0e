#pragma once

#include "support/ProcessEnvironment.h"

#include <QProcess>
#include <QStringList>
#include <QtTest>

#include <memory>

// A real X client window in its own process (tolvane-test-window), for tests
// that run on the private X server. The path of the helper comes from the
// TOLVANE_TEST_WINDOW compile definition.
class TestWindow {
public:
    explicit TestWindow(const QString& className, QStringList extraArguments = {})
        : m_process(std::make_unique<QProcess>())
    {
        m_process->setProcessChannelMode(QProcess::SeparateChannels);
        m_process->start(QStringLiteral(TOLVANE_TEST_WINDOW),
                         QStringList{QStringLiteral("--class"), className} + extraArguments);
        if (!m_process->waitForStarted(5000))
            return;
        QDeadlineTimer deadline(5000);
        while (!deadline.hasExpired() && !m_process->canReadLine())
            m_process->waitForReadyRead(100);
        const QByteArray line = m_process->readLine().trimmed();
        if (line.startsWith("window "))
            m_windowId = line.mid(7).toULong(nullptr, 16);
        // Wait until the window manager manages it, or activation races the map.
        for (int i = 0; i < 50 && !isManaged(); ++i)
            QTest::qWait(20);
    }
    ~TestWindow()
    {
        m_process->kill();
        m_process->waitForFinished(2000);
    }

    bool isValid() const { return m_windowId != 0; }
    unsigned long windowId() const { return m_windowId; }
    QString windowIdText() const { return QString::number(m_windowId); }
    qint64 pid() const { return m_process->processId(); }

    // Asks the window manager to activate the window and waits until it is active.
    bool activate() const { return run({QStringLiteral("windowactivate"), QStringLiteral("--sync"), windowIdText()}); }

    // The key presses this window has received so far: "key <keycode> <state>".
    QStringList receivedKeys()
    {
        m_output += m_process->readAllStandardOutput();
        QStringList keys;
        for (const QByteArray& line : m_output.split('\n')) {
            if (line.startsWith("key "))
                keys.append(QString::fromLatin1(line));
        }
        return keys;
    }

    // Locks an XKB group from another X client.
    static bool lockGroupElsewhere(int group)
    {
        return tolvane::test::runProgram(QStringLiteral(TOLVANE_TEST_WINDOW),
                                         {QStringLiteral("--lock-group"), QString::number(group)}, 5000)
            .has_value();
    }

    // Sets _NET_ACTIVE_WINDOW `count` times from another X client, cycling
    // through `windows`; returns once the server has every change.
    static bool flood(int count, const QList<const TestWindow*>& windows)
    {
        QStringList arguments{QStringLiteral("--flood"), QString::number(count)};
        for (const TestWindow* window : windows)
            arguments.append(QString::number(window->windowId(), 16));
        QProcess flooder;
        flooder.start(QStringLiteral(TOLVANE_TEST_WINDOW), arguments);
        // Not blocking: the caller's event loop keeps handling what arrives.
        QDeadlineTimer deadline(60000);
        while (flooder.state() != QProcess::NotRunning && !deadline.hasExpired())
            QTest::qWait(5);
        return flooder.exitStatus() == QProcess::NormalExit && flooder.exitCode() == 0;
    }

    static bool run(const QStringList& xdotoolArguments)
    {
        return tolvane::test::runProgram(QStringLiteral("xdotool"), xdotoolArguments, 5000).has_value();
    }

private:
    bool isManaged() const
    {
        return tolvane::test::runProgram(QStringLiteral("xprop"),
                                         {QStringLiteral("-id"), windowIdText(), QStringLiteral("WM_STATE")}, 2000)
            .value_or(QByteArray())
            .contains("Normal");
    }

    std::unique_ptr<QProcess> m_process;
    unsigned long m_windowId = 0;
    QByteArray m_output;
};
