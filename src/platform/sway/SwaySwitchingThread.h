#pragma once

#include "platform/RunningApplication.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <deque>
#include <memory>
#include <mutex>
#include <thread>

// Switches the layout the moment sway reports a change of focus, before the
// main loop has even woken: a thread of its own with two connections to sway
// (one subscribed to window events, one for commands), blocked in a read. It
// looks the focused window up in a table the main thread keeps and, when the
// table names a command, writes it at once. Everything else about the
// activation (logging, memory, feedback) stays on the main thread, which learns
// from `takeOutcome` what the thread did with each focus change.
//
// Both sides see the same window events in the same order once each has seen
// the tick event `syncPayload()` names (the platform sends it after both
// subscribed); only focus changes after it are counted and matched, one for one.
class SwaySwitchingThread {
public:
    struct Window {
        // The process and the application id: windows with the same one are
        // one application, and focus moving between them is no activation.
        QString application;
        // The request that switches to the source planned for the window;
        // empty when there is nothing to select (no rule, paused).
        QByteArray frames;
        // False for containers that are not an application's window.
        bool isApplication = true;
    };
    // By SwayWindowEventReader::windowKey.
    using Table = QHash<QString, Window>;
    // Window::application for an application.
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

    // Connects to sway; null when it cannot be reached. Connect it before the
    // main thread's own connections: sway writes events to its clients in the
    // order they connected, so the thread is woken first.
    static std::unique_ptr<SwaySwitchingThread> connect(const QString& socketPath);
    ~SwaySwitchingThread();

    SwaySwitchingThread(const SwaySwitchingThread&) = delete;
    SwaySwitchingThread& operator=(const SwaySwitchingThread&) = delete;

    // The payload of the tick that lines both sides' events up.
    QByteArray syncPayload() const { return m_syncPayload; }

    void setTable(std::shared_ptr<const Table> table);
    // The window in front as the rule engine last saw it (empty: none), so
    // that focus moving within its application is no activation for the thread either.
    void assumeFront(const QString& windowKey, const QString& application);

    // The main thread saw the tick: from now on it hands in every focus change.
    void startMatching();
    bool isMatching() const;
    // What the thread did with the focus change the main thread handles now,
    // the window of `windowKey`. Unhandled when the thread has not seen it yet
    // (it then leaves that change alone) or stopped.
    Outcome takeOutcome(const QString& windowKey);
    // Held by the main thread while it selects a source itself, so that its
    // request and the thread's never cross; not held (and nothing should be
    // selected) when the thread already switched for a later focus change.
    std::unique_lock<std::mutex> holdUnlessSuperseded();

private:
    SwaySwitchingThread(int events, int commands);
    void run();
    void handleEvent(quint32 type, const QByteArray& payload);
    void handleFocus(const QString& key, bool isClientWindow);
    Outcome decide(const QString& key, bool isClientWindow);
    bool write(const QByteArray& frames);
    void drainReplies();

    const int m_events;
    const int m_commands;
    QByteArray m_syncPayload;

    mutable std::mutex m_mutex;
    std::shared_ptr<const Table> m_table;
    // Focus changes the thread handled that the main thread has not yet taken…
    std::deque<std::pair<QString, Outcome>> m_outcomes;
    // …and those the main thread took before the thread came to them.
    int m_mainAhead = 0;
    bool m_matching = false;
    bool m_stopped = false;

    QString m_lastKey;
    QString m_lastApplication;

    // The thread's own.
    bool m_synced = false;
    std::thread m_thread;
};
