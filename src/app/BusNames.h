#pragma once

#include <QString>

// Where Tolvane is reached on the session bus.
namespace BusNames {
// Owned by the running Tolvane; not activatable, so a call to it fails at once
// when Tolvane does not run.
inline QString service()
{
    return QStringLiteral("com.kelvora.Tolvane");
}
// The one activatable name: the bus starts Tolvane for a call to it. Owned by
// a connection of its own that exports nothing but OpenSettings.
inline QString settingsService()
{
    return QStringLiteral("com.kelvora.Tolvane.Settings");
}
inline QString path()
{
    return QStringLiteral("/com/kelvora/Tolvane");
}
inline QString interface()
{
    return QStringLiteral("com.kelvora.Tolvane1");
}
} // namespace BusNames
