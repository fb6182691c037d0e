#pragma once

#include "platform/DesktopConflictMonitor.h"

#include <QDBusConnection>
#include <QStringList>

#include <optional>

class GnomeShellExtension;
class QProcess;

// Follows what on GNOME keeps Tolvane from switching:
// - its Shell extension not running: not installed, installed after the
//   Shell started (on Wayland the Shell loads new extensions only at the next
//   login), turned off, or failed, as the Shell's own extension service tells
//   (org.gnome.Shell.Extensions);
// - GNOME's own per-window input sources (org.gnome.desktop.input-sources
//   per-window), which restore each window's source on focus and undo
//   Tolvane's switches; read with the `gsettings` tool and followed with
//   `gsettings monitor`.
// Neither can be dismissed: each is told for as long as it stands.
class GnomeDesktopConflictMonitor : public DesktopConflictMonitor {
    Q_OBJECT
public:
    enum class Issue {
        shellExtensionNotInstalled,
        shellExtensionNotLoaded,
        shellExtensionDisabled,
        shellExtensionFailed,
        perWindowInputSources,
    };

    GnomeDesktopConflictMonitor(GnomeShellExtension& extension, QDBusConnection bus = QDBusConnection::sessionBus(),
                                QObject* parent = nullptr);
    ~GnomeDesktopConflictMonitor() override;

    QList<DesktopConflict> conflicts() const override { return m_conflicts; }

    // The record for an issue; `detail` fills the text (the extension's uuid,
    // or the Shell's error for a failed extension).
    static DesktopConflict conflict(Issue issue, const QString& detail = {});

    // Where the extension would be installed: gnome-shell/extensions/<uuid>
    // under $XDG_DATA_HOME and each $XDG_DATA_DIRS entry.
    static bool isExtensionInstalled();

private Q_SLOTS:
    void extensionStateChanged(const QString& uuid, const QVariantMap& state);

private:
    void checkExtension();
    void readPerWindow();
    void update();

    GnomeShellExtension& m_extension;
    QDBusConnection m_bus;
    std::optional<DesktopConflict> m_extensionIssue;
    bool m_perWindow = false;
    QProcess* m_monitor = nullptr;
    QList<DesktopConflict> m_conflicts;
};
