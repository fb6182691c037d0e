#pragma once

#include <QByteArray>
#include <QObject>
#include <QUrl>

#include <functional>
#include <memory>

// A key press seen anywhere on the desktop.
struct GlobalKeyPress {
    // The keymap's name of the physical key ("AD10" is the key right of O on
    // a QWERTY board), the same whichever layout is active.
    QByteArray keyName;
    // Shift, Control, Alt and Meta (Super) as held during the press; lock
    // keys are not reported.
    Qt::KeyboardModifiers modifiers;
    // True when one of this process's own windows had the keyboard focus.
    bool toOwnWindow = false;
};

// Observes key presses addressed to any application without consuming them:
// the application with the focus still receives every press.
class GlobalKeyMonitor {
public:
    using Handler = std::function<void(const GlobalKeyPress&)>;

    // Removes its monitor when destroyed.
    class Token {
    public:
        virtual ~Token() = default;
    };

    virtual ~GlobalKeyMonitor() = default;

    // Whether the display lets this process observe other applications' keys.
    // Asks afresh on every call.
    virtual bool canMonitorKeys() = 0;
    // True when the answer of canMonitorKeys() can change only with the display itself
    // (a server extension that is there or not), so asking again is pointless until then.
    virtual bool answerChangesOnlyWithDisplay() const { return false; }

    // The desktop's settings page where the user allows key observation, or
    // none where nothing can be granted (on X11 it depends only on the X
    // server's RECORD extension).
    virtual QUrl permissionSettingsPage() { return {}; }

    // Installs a monitor whose handler runs on the main thread for every key
    // press; null when the display offers no way to observe keys.
    virtual std::unique_ptr<Token> addKeyPressMonitor(Handler handler) = 0;
};
