#pragma once

#include <QDBusConnection>
#include <QString>

#include <optional>

// The small KWin script that tells Tolvane which window is active. KWin gives
// no other client that fact on Wayland, so Tolvane writes the script to its
// runtime folder at start, has KWin load and run it, and unloads it at quit.
//
// The script calls back the D-Bus object at `callbackPath` of the connection
// that loaded it (by its unique name, so a script left behind by a Tolvane that
// died calls nobody) with these methods of `callbackInterface`, all arguments
// strings:
//   WindowActivated(id, resourceClass, resourceName, desktopFileName, pid, "x,y,w,h", ordinary)
//     — id empty when no window is active;
//   WindowAdded(the same seven), once for every window present at load and for each new one;
//   WindowRemoved(id).
// `ordinary` is "1" for a normal window or dialog that the task bar lists.
//
// It also gives KWin Tolvane's pause shortcut (kPauseShortcutKeys until the
// user changes it under KWin in System Settings › Shortcuts), which calls
// TogglePause on Tolvane's own bus object.
class KWinActivationScript {
public:
    static constexpr const char* kPluginName = "com.kelvora.Tolvane.activation";
    // The shortcut's name in KWin's component; KDE keeps the user's keys under it.
    static constexpr const char* kPauseShortcutName = "TolvaneTogglePause";
    static constexpr const char* kPauseShortcutKeys = "Ctrl+Alt+P";
    // The shortcut as System Settings lists it, in the interface language.
    static QString pauseShortcutText();

    KWinActivationScript(QDBusConnection bus, QString callbackPath, QString callbackInterface);

    // The script's text for a callback to `service`.
    static QString source(const QString& service, const QString& path, const QString& interface);

    // Unloads a script of an earlier Tolvane, writes this one to `filePath` and
    // has KWin load and run it. False, with `lastError()` telling why, when
    // KWin refused any step.
    bool load(const QString& filePath);
    // Unloads the script (also one left by an earlier run); true when KWin had one.
    bool unload();
    bool isLoaded() const { return m_loaded; }
    QString lastError() const { return m_error; }

private:
    std::optional<QVariant> call(const QString& path, const QString& interface, const QString& method,
                                 const QVariantList& arguments);
    bool run(int scriptId);

    QDBusConnection m_bus;
    QString m_callbackPath;
    QString m_callbackInterface;
    bool m_loaded = false;
    QString m_error;
};
