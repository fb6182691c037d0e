#pragma once

#include "platform/RunningApplication.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

// Switches the layout the moment sway reports a change of focus: a thread of
// its own with two connections to sway (one subscribed to events, one for
// commands), blocked in a read, without the main loop in the way. It looks the
// focused window up in a table the main thread keeps and, when the table names
// a command, writes it at once.
//
// The thread is the only reader of sway's events. It passes every event on to
// the main loop through a socket of their own (`takeRelay()`), in sway's order,
// after acting on it. After a switch it sleeps a millisecond, waking neither
// for sway's answer nor for its events, and the main loop hears of the
// activation only then: sway and the application in front have the processor
// to themselves while the new layout takes effect, and the main loop's work on
// the activation (logging, memory, feedback) does not compete with them. The
// main loop learns from `takeOutcome` what the thread did with each focus
// change, one for one.
class SwaySwitchingThread {
public:
    struct Window {
        // The process and the application id (applicationKey): windows with
        // the same are one application, and focus moving between them is no activation.
        QString application;
        // The request that switches to the source planned for the window;
        // empty when there is nothing to select (no rule, paused).
        QByteArray frames;
        // False for containers that are not an application's window.
        bool isApplication = true;
    };
    // By SwayWindowEventReader::windowKey.
    using Table = QHash<QString, Window>;

    static QString applicationKey(const RunningApplication& app)
    {
        return app.processKey + QChar() + app.bundleIdentifier.value_or(QString());
    }

    struct Outcome {
        enum class Kind {
            // The thread did not handle it: the main thread decides and selects.
            Unhandled,
            // Focus stayed with the same application.
            SameApplication,
            NothingToSelect,
            // `frames` went out.
            Sent,
        };
        Kind kind = Kind::Unhandled;
        QByteArray frames;
    };

    // Connects to sway and subscribes to `events` (a JSON list of names; the
    // window events are always among them); null when sway cannot be reached.
    static std::unique_ptr<SwaySwitchingThread> connect(const QString& socketPath, const QByteArray& events);
    ~SwaySwitchingThread();

    SwaySwitchingThread(const SwaySwitchingThread&) = delete;
    SwaySwitchingThread& operator=(const SwaySwitchingThread&) = delete;

    // The main loop's end of the socket the events are passed on through (to
    // read as i3 IPC, without subscribing); the caller owns it. Once only.
    int takeRelay();

    void setTable(std::shared_ptr<const Table> table);
    // The window in front as the rule engine last saw it (empty: none), so
    // that focus moving within its application is no activation for the thread either.
    void assumeFront(const QString& windowKey, const QString& application);

    // What the thread did with the focus change the main loop handles now,
    // the window of `windowKey`.
    Outcome takeOutcome(const QString& windowKey);
    // Held by the main thread while it selects a source itself, so that its
    // request and the thread's never cross; not held (and nothing should be
    // selected) when the thread already switched for a later focus change.
    std::unique_lock<std::mutex> holdUnlessSuperseded();

private:
    SwaySwitchingThread(int events, int commands, int relay, int relayed);
    void run();
    bool readEvents(QByteArray& buffer, QByteArray& relay);
    void handleFocus(const QString& key, bool isClientWindow);
    Outcome decide(const QString& key, bool isClientWindow);
    void drainReplies();

    const int m_events;
    const int m_commands;
    const int m_relay;
    int m_relayed;
    std::chrono::steady_clock::time_point m_switchedAt;

    mutable std::mutex m_mutex;
    std::shared_ptr<const Table> m_table;
    // Focus changes handled and passed on, not yet taken by the main loop.
    std::deque<std::pair<QString, Outcome>> m_outcomes;
    QString m_lastKey;
    QString m_lastApplication;

    std::thread m_thread;
};
