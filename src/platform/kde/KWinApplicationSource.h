#pragma once

#include "KWinActivationScript.h"
#include "KWinWindow.h"

#include "platform/ApplicationSource.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QHash>
#include <QStringList>

class DesktopEntryIndex;
class QDBusServiceWatcher;

// The application in front on KDE Plasma, as KWin's scripting reports it (see
// KWinActivationScript). Each activation is reported the moment KWin's call
// arrives. An activation of no window (between two windows, or of the desktop)
// is an activation without an application: it is not reported, and until the
// next one there is no application in front.
//
// Only calls from the connection that owns org.kde.KWin are believed. When
// KWin restarts, the script is loaded into the new one.
class KWinApplicationSource : public ApplicationSource, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.kelvora.Tolvane.KWinScript")
public:
    static constexpr const char* kObjectPath = "/com/kelvora/Tolvane/KWinScript";

    KWinApplicationSource(QDBusConnection bus, DesktopEntryIndex& desktopEntries, QString scriptPath,
                          QObject* parent = nullptr);
    ~KWinApplicationSource() override;

    // Registers the callback object and loads the script; false when KWin
    // refused (the reason is logged).
    bool start();
    // Unloads the script; also done at quit and on destruction.
    void stop();
    bool isRunning() const { return m_script.isLoaded(); }

    std::optional<RunningApplication> frontmostApplication() override;
    QList<RunningApplication> runningApplications() override;
    std::optional<QRect> activeWindowFrame() override;

public Q_SLOTS:
    // Called by the script over D-Bus.
    Q_SCRIPTABLE void WindowActivated(const QString& id, const QString& resourceClass, const QString& resourceName,
                                      const QString& desktopFileName, const QString& pid, const QString& frame,
                                      const QString& ordinary);
    Q_SCRIPTABLE void WindowAdded(const QString& id, const QString& resourceClass, const QString& resourceName,
                                  const QString& desktopFileName, const QString& pid, const QString& frame,
                                  const QString& ordinary);
    Q_SCRIPTABLE void WindowRemoved(const QString& id);

Q_SIGNALS:
    // The script has told the state it found (the windows and the active one).
    void scriptReported();

private:
    bool isFromKWin();
    void loadScript();

    QDBusConnection m_bus;
    DesktopEntryIndex& m_desktopEntries;
    QString m_scriptPath;
    KWinActivationScript m_script;
    QDBusServiceWatcher* m_kwinWatcher = nullptr;
    QString m_kwinOwner;
    bool m_registered = false;
    QHash<QString, KWinWindow> m_windows;
    QStringList m_windowOrder;
    std::optional<KWinWindow> m_active;
};
