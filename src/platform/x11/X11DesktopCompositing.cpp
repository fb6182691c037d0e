#include "X11DesktopCompositing.h"

#include "X11Connection.h"

#include <QByteArray>

#include <X11/Xlib.h>

X11DesktopCompositing::X11DesktopCompositing(X11Connection& connection)
    : m_connection(connection)
{
}

bool X11DesktopCompositing::isActive()
{
    Display* display = m_connection.display();
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(DefaultScreen(display));
    return XGetSelectionOwner(display, m_connection.atom(name.constData())) != None;
}
