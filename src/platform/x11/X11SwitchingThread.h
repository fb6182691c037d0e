#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

struct xcb_connection_t;

// Selects the XKB group of the window that becomes active as soon as the X
// server says so, without waiting for the main loop: a thread of its own,
// with a connection of its own, blocked reading it. It follows the root
// window's _NET_ACTIVE_WINDOW and, when the table names a group for the
// active window, locks that group at once.
//
// It knows nothing but the table the main thread gives it. A window missing
// from it, or with no group, is left to the main thread; so is any
// activation while no table is set, and the first one after a window it
// could not look up (it cannot tell whether that one was of the same
// application). It drops an activation of the application it last saw in
// front (same process and application id), as the engine does.
//
// When the X server goes away the thread ends quietly; the main connection
// decides what happens to the process.
class X11SwitchingThread {
public:
    // What the thread knows of a window.
    struct Window {
        QString processKey;
        std::optional<QString> applicationId;
        int group = -1; // the group to lock; -1: none, the main thread decides
    };
    using Table = QHash<unsigned long, Window>;

    // Connects and starts the thread; null when the display cannot be reached.
    static std::unique_ptr<X11SwitchingThread> start(const QByteArray& displayName = {});
    // Stops the thread and waits for it.
    ~X11SwitchingThread();

    // Replaces the table; null: select nothing until the next one. Any thread.
    void setTable(std::shared_ptr<const Table> table);
    // False once the connection broke (the display went away).
    bool isRunning() const { return !m_ended.load(); }

    // Which change of _NET_ACTIVE_WINDOW an event reports: the server time of
    // the change, and how many changes before it had the same time (window
    // managers often make two in one millisecond, clearing the property or
    // setting it twice). Both connections see the same changes in order.
    struct ActivationMark {
        uint32_t time = 0;
        int ordinal = 0;

        ActivationMark following(uint32_t nextTime) const { return {nextTime, nextTime == time ? ordinal + 1 : 0}; }
        // Server time wraps around after 49 days: compared as a difference.
        bool isAtOrAfter(const ActivationMark& other) const
        {
            const int32_t ahead = int32_t(time - other.time);
            return ahead > 0 || (ahead == 0 && ordinal >= other.ordinal);
        }
    };

    // Waits at most `timeout` until the thread has acted on the change of
    // _NET_ACTIVE_WINDOW `mark` and every one before it, so that the main
    // thread's own work on that activation (requests to the same server,
    // drawing the feedback) does not compete with the switch. Once it has, the
    // moment the thread last locked a group, if it ever did; nullopt when it
    // has not caught up in time.
    std::optional<std::chrono::steady_clock::time_point> awaitActivation(const ActivationMark& mark,
                                                                         std::chrono::microseconds timeout);

private:
    struct Identity {
        QString processKey;
        std::optional<QString> applicationId;
        bool operator==(const Identity&) const = default;
    };

    X11SwitchingThread(xcb_connection_t* connection, unsigned root, unsigned activeWindowAtom, int wakeFd);
    void run();
    // Takes the events read so far; the mark of the last change of
    // _NET_ACTIVE_WINDOW among them, if it changed.
    std::optional<ActivationMark> takeEvents();
    void tellHandled(const ActivationMark& mark, bool switched);
    enum class Outcome { NoWindow, LeftAlone, Switched };
    Outcome switchForActiveWindow();
    // Nullopt when no window is active or the server did not answer.
    std::optional<unsigned long> activeWindow();
    // A copy: the main thread may replace the table meanwhile.
    std::optional<Window> lookUp(unsigned long window);

    xcb_connection_t* m_connection;
    unsigned m_root;
    unsigned m_activeWindowAtom;
    int m_wakeFd; // written once to end the thread
    std::mutex m_tableMutex;
    std::shared_ptr<const Table> m_table;
    std::atomic<bool> m_ended{false};
    std::mutex m_handledMutex;
    std::condition_variable m_handledChanged;
    std::optional<ActivationMark> m_handled; // the last activation acted on
    std::optional<std::chrono::steady_clock::time_point> m_lastSwitch;
    // The thread's own: the application in front at the last activation, if known.
    std::optional<Identity> m_front;
    ActivationMark m_lastRead;
    std::thread m_thread;
};
