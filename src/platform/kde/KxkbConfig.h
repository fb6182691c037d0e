#pragma once

#include <QString>
#include <QStringList>

// The keyboard settings KDE keeps in kxkbrc (group [Layout]), as far as
// Tolvane needs them. Read from every config folder, the user's own last, so
// that the user's values win as they do for KDE.
struct KxkbConfig {
    QStringList layouts; // LayoutList, e.g. "us", "de"
    QStringList variants; // VariantList, one per layout, "" for none
    // How KDE itself picks the layout as windows change: "Global" (the default:
    // it does not), "Desktop", "WinClass" (per application) or "Window".
    QString switchMode = QStringLiteral("Global");

    // From the texts of the files, the system's first and the user's last.
    static KxkbConfig parse(const QList<QByteArray>& files);
    // From $XDG_CONFIG_DIRS and $XDG_CONFIG_HOME.
    static KxkbConfig load();
    // The files load() reads, the user's last.
    static QStringList filePaths();

    // True when KDE restores a layout per application or per window, which
    // undoes the switches Tolvane makes.
    bool switchesPerWindow() const;
    // The variant configured for the layout at `index`, when the layout there is `layout`.
    QString variantAt(qsizetype index, const QString& layout) const;
};
