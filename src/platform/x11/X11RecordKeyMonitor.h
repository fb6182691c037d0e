#pragma once

#include "platform/GlobalKeyMonitor.h"

class X11Connection;

// Global key monitoring through the X RECORD extension: the server copies
// every key event to a second, private connection whose replies are read from
// the Qt event loop. Nothing is grabbed, so the focused application still
// receives each press.
class X11RecordKeyMonitor : public GlobalKeyMonitor {
public:
    // `connection` is the control connection; it must outlive the monitor
    // and every token it hands out.
    explicit X11RecordKeyMonitor(X11Connection& connection);
    ~X11RecordKeyMonitor() override;

    bool canMonitorKeys() override;
    // The X server offers RECORD or not for as long as it runs.
    bool answerChangesOnlyWithDisplay() const override { return true; }
    std::unique_ptr<Token> addKeyPressMonitor(Handler handler) override;

private:
    X11Connection& m_connection;
};
