#pragma once

#include "platform/DesktopIssues.h"

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
class GnomeDesktopIssues : public DesktopIssues {
    Q_OBJECT
public:
    GnomeDesktopIssues(GnomeShellExtension& extension, QDBusConnection bus = QDBusConnection::sessionBus(),
                       QObject* parent = nullptr);
    ~GnomeDesktopIssues() override;

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
    std::optional<DesktopIssue> m_extensionIssue;
    bool m_perWindow = false;
    QProcess* m_monitor = nullptr;
};
