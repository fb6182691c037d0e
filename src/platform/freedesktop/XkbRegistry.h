#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One layout or layout variant as xkeyboard-config describes it. A variant
// without country or language lists of its own inherits its layout's.
struct XkbLayoutInfo {
    QString layout;
    QString variant;
    QString description;
    QStringList countries; // ISO 3166 alpha-2, upper case, in the file's order
    QStringList languages; // ISO 639-2/3 codes, in the file's order

    friend bool operator==(const XkbLayoutInfo&, const XkbLayoutInfo&) = default;
};

// The layouts and variants of xkeyboard-config's rules file (evdev.xml). A
// missing or unreadable file gives an empty registry.
class XkbRegistry {
public:
    // The system's rules file, read on first use and kept for the process.
    static const XkbRegistry& system();
    static XkbRegistry fromFile(const QString& path);
    static XkbRegistry fromXml(const QByteArray& xml);
    // Where xkeyboard-config installs evdev.xml ($XKB_CONFIG_ROOT overrides it).
    static QString systemRulesPath();

    std::optional<XkbLayoutInfo> find(const QString& layout, const QString& variant = {}) const;
    // The layout or variant whose description is exactly this, e.g. "German" or
    // "Czech (with <|> key)".
    std::optional<XkbLayoutInfo> findByDescription(const QString& description) const;

    bool isEmpty() const { return m_entries.isEmpty(); }
    qsizetype size() const { return m_entries.size(); }

private:
    static QString key(const QString& layout, const QString& variant);
    void add(const XkbLayoutInfo& info);

    QList<XkbLayoutInfo> m_entries;
    QHash<QString, qsizetype> m_byKey;
    QHash<QString, qsizetype> m_byDescription;
};
