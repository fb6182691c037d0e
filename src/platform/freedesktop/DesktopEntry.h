#pragma once

#include <QHash>
#include <QString>

#include <optional>

// One parsed desktop entry file (the [Desktop Entry] group only).
struct DesktopEntry {
    QString id; // desktop-file id without ".desktop", e.g. "org.gnome.gedit"
    QString filePath;
    QString type;
    QString name;
    QHash<QString, QString> localizedNames; // "de" / "pt_BR" -> Name[...]
    QString icon;
    QString startupWMClass;
    bool noDisplay = false;
    bool hidden = false;
    // GNOME's switch for autostart entries: false means "do not start".
    bool gnomeAutostartEnabled = true;

    // Parses the file's text; nullopt when it has no [Desktop Entry] group.
    static std::optional<DesktopEntry> parse(const QByteArray& contents);
    static std::optional<DesktopEntry> load(const QString& filePath, const QString& id);

    bool isApplication() const { return type == QLatin1String("Application"); }
    // Name[lang_COUNTRY], then Name[lang], then Name.
    QString localizedName(const QString& languageTag) const;
};
