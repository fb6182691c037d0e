#include "DesktopEntry.h"

#include <QFile>

namespace {

QString unescapeValue(const QByteArray& raw)
{
    QString value = QString::fromUtf8(raw.trimmed());
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar next = value.at(++i);
            switch (next.unicode()) {
            case 's':
                out += QLatin1Char(' ');
                break;
            case 'n':
                out += QLatin1Char('\n');
                break;
            case 't':
                out += QLatin1Char('\t');
                break;
            case 'r':
                out += QLatin1Char('\r');
                break;
            default:
                out += next;
                break;
            }
        } else {
            out += c;
        }
    }
    return out;
}

bool isTrue(const QString& value)
{
    return value == QLatin1String("true");
}

} // namespace

std::optional<DesktopEntry> DesktopEntry::parse(const QByteArray& contents)
{
    DesktopEntry entry;
    bool inMainGroup = false;
    bool sawMainGroup = false;
    for (const QByteArray& rawLine : contents.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line.startsWith('[')) {
            inMainGroup = line == "[Desktop Entry]";
            sawMainGroup = sawMainGroup || inMainGroup;
            continue;
        }
        if (!inMainGroup)
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        const QByteArray key = line.left(equals).trimmed();
        const QString value = unescapeValue(line.mid(equals + 1));
        if (key == "Type")
            entry.type = value;
        else if (key == "Name")
            entry.name = value;
        else if (key.startsWith("Name[") && key.endsWith(']'))
            entry.localizedNames.insert(QString::fromUtf8(key.mid(5, key.size() - 6)), value);
        else if (key == "Icon")
            entry.icon = value;
        else if (key == "StartupWMClass")
            entry.startupWMClass = value;
        else if (key == "NoDisplay")
            entry.noDisplay = isTrue(value);
        else if (key == "Hidden")
            entry.hidden = isTrue(value);
        else if (key == "X-GNOME-Autostart-enabled")
            entry.gnomeAutostartEnabled = value != QLatin1String("false");
    }
    if (!sawMainGroup)
        return std::nullopt;
    return entry;
}

std::optional<DesktopEntry> DesktopEntry::load(const QString& filePath, const QString& id)
{
    QFile file(filePath);
    // Desktop entries are small; anything huge is not one.
    if (file.size() > 1024 * 1024 || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    auto entry = parse(file.readAll());
    if (entry) {
        entry->id = id;
        entry->filePath = filePath;
    }
    return entry;
}

QString DesktopEntry::localizedName(const QString& languageTag) const
{
    QString tag = languageTag;
    tag.replace(QLatin1Char('-'), QLatin1Char('_'));
    if (const auto it = localizedNames.constFind(tag); it != localizedNames.constEnd())
        return *it;
    const QString language = tag.section(QLatin1Char('_'), 0, 0);
    if (const auto it = localizedNames.constFind(language); it != localizedNames.constEnd())
        return *it;
    return name;
}
