#pragma once

#include "platform/DesktopCompositing.h"

class X11Connection;

// A compositing manager is running when it owns the _NET_WM_CM_S<screen> selection.
class X11DesktopCompositing : public DesktopCompositing {
public:
    explicit X11DesktopCompositing(X11Connection& connection);
    bool isActive() override;

private:
    X11Connection& m_connection;
};
