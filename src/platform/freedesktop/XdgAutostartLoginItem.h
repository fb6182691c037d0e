#pragma once

#include "platform/LoginItemService.h"

#include <QByteArray>
#include <QString>

// Launch at login as an XDG autostart entry: <autostart dir>/tolvane.desktop
// whose Exec is this program's absolute path. Registered means the entry
// exists and is not Hidden=true.
class XdgAutostartLoginItem : public LoginItemService {
public:
    // `autostartDirectory` defaults to $XDG_CONFIG_HOME/autostart and
    // `executablePath` to the running program.
    explicit XdgAutostartLoginItem(QString autostartDirectory = {}, QString executablePath = {});

    static QString defaultAutostartDirectory();
    static QString entryFileName() { return QStringLiteral("tolvane.desktop"); }

    QString entryPath() const;

    bool isRegistered() override;
    std::optional<QString> registerItem() override;
    std::optional<QString> unregisterItem() override;

    // The entry's contents for an executable.
    static QByteArray entryContents(const QString& executablePath);
    // One Exec argument, quoted and escaped so that a launcher reads back
    // exactly `argument`.
    static QString quotedExecArgument(const QString& argument);

private:
    QString m_directory;
    QString m_executablePath;
};
