#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct _XDisplay;
union _XEvent;
class QSocketNotifier;

// Tolvane's own Xlib connection to the X server, with XKB initialised, whose
// events are read from the Qt event loop: when the socket has data and right
// before the loop sleeps (Xlib may have queued events while answering a request).
class X11Connection : public QObject {
    Q_OBJECT
public:
    using XWindow = unsigned long;
    using XAtom = unsigned long;
    using EventHandler = std::function<void(const _XEvent&)>;

    // Null when no X display is reachable or it lacks the XKB extension.
    static std::unique_ptr<X11Connection> open(const QByteArray& displayName = {});
    ~X11Connection() override;

    _XDisplay* display() const { return m_display; }
    XWindow rootWindow() const { return m_root; }
    int xkbEventType() const { return m_xkbEventType; }

    XAtom atom(const char* name);

    // When a batch handler runs among the others: every Switching handler
    // before any Reporting one, so that an activation read in the same batch
    // as the news of an earlier switch is acted on first. Yielding handlers
    // come first of all: they let the switching thread act before this
    // thread's own work on the batch competes with it.
    enum class BatchStage { Yielding, Switching, Reporting };

    void addEventHandler(EventHandler handler);
    // Called each time the events read so far have all been handled.
    void addBatchHandler(std::function<void()> handler, BatchStage stage = BatchStage::Switching);
    // Sends buffered requests and handles every event already received.
    void flushAndDispatch();
    // To be called after requests that wait for replies: Xlib may have read
    // events while waiting, which then sit in its queue with nothing on the
    // socket to wake us. They are handled in the next turn of the event loop.
    void dispatchQueuedEventsLater();

    // Property readers; nullopt when the property is absent or of another format.
    std::optional<QByteArray> textProperty(XWindow window, XAtom property);
    // At most `maximumCount` values are read.
    std::optional<std::vector<unsigned long>> cardinalProperty(XWindow window, XAtom property, XAtom type,
                                                               long maximumCount = 1024);

private:
    X11Connection(_XDisplay* display, int xkbEventType);
    void dispatchPending();

    _XDisplay* m_display = nullptr;
    XWindow m_root = 0;
    int m_xkbEventType = 0;
    QHash<QByteArray, XAtom> m_atoms;
    std::vector<EventHandler> m_handlers;
    // By stage, in the order of BatchStage.
    std::array<std::vector<std::function<void()>>, 3> m_batchHandlers;
    QSocketNotifier* m_notifier = nullptr;
    bool m_dispatchQueued = false;
};
