#include "XdgAutostartLoginItem.h"

#include "DesktopEntry.h"

#include "base/AtomicFile.h"
#include "base/Tolvane.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// Larger files are not autostart entries; they are not read.
constexpr qint64 kMaximumEntrySize = 1024 * 1024;

QString failure(const QString& detail)
{
    return Tolvane::tr("Could not update the autostart entry: %1").arg(detail);
}

} // namespace

XdgAutostartLoginItem::XdgAutostartLoginItem(QString autostartDirectory, QString executablePath)
    : m_directory(autostartDirectory.isEmpty() ? defaultAutostartDirectory() : std::move(autostartDirectory))
    , m_executablePath(executablePath.isEmpty() ? QCoreApplication::applicationFilePath() : std::move(executablePath))
{
}

QString XdgAutostartLoginItem::defaultAutostartDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart");
}

QString XdgAutostartLoginItem::entryPath() const
{
    return m_directory + QLatin1Char('/') + entryFileName();
}

bool XdgAutostartLoginItem::isRegistered()
{
    QFile file(entryPath());
    const QFileInfo info(file);
    if (!info.isFile() || info.size() > kMaximumEntrySize || !file.open(QIODevice::ReadOnly))
        return false;
    const auto entry = DesktopEntry::parse(file.readAll());
    // GNOME keeps an entry the user switched off, marked as not enabled.
    return entry && !entry->hidden && entry->gnomeAutostartEnabled;
}

std::optional<QString> XdgAutostartLoginItem::registerItem()
{
    if (m_executablePath.isEmpty() || !QFileInfo(m_executablePath).isAbsolute())
        return failure(Tolvane::tr("the path of the running program is unknown"));
    if (!QDir().mkpath(m_directory))
        return failure(Tolvane::tr("“%1” cannot be created").arg(m_directory));

    if (const auto error = AtomicFile::write(entryPath(), entryContents(m_executablePath)))
        return failure(QStringLiteral("“%1”: %2").arg(entryPath(), *error));
    return std::nullopt;
}

std::optional<QString> XdgAutostartLoginItem::unregisterItem()
{
    const QFileInfo info(entryPath());
    if (!info.exists() && !info.isSymLink())
        return std::nullopt;
    QFile file(entryPath());
    if (!file.remove())
        return failure(QStringLiteral("“%1”: %2").arg(entryPath(), file.errorString()));
    return std::nullopt;
}

QByteArray XdgAutostartLoginItem::entryContents(const QString& executablePath)
{
    QString text;
    text += QStringLiteral("[Desktop Entry]\n");
    text += QStringLiteral("Type=Application\n");
    text += QStringLiteral("Name=Tolvane\n");
    text += QStringLiteral("Exec=") + quotedExecArgument(executablePath) + QLatin1Char('\n');
    text += QStringLiteral("Terminal=false\n");
    text += QStringLiteral("X-GNOME-Autostart-enabled=true\n");
    return text.toUtf8();
}

QString XdgAutostartLoginItem::quotedExecArgument(const QString& argument)
{
    // Inside double quotes, ", `, $ and \ take a backslash; '%' is doubled
    // because it starts field codes.
    QString quoted;
    quoted.reserve(argument.size() + 8);
    quoted += QLatin1Char('"');
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += QLatin1Char('\\');
        if (c == u'%')
            quoted += QLatin1Char('%');
        quoted += c;
    }
    quoted += QLatin1Char('"');

    // The key's value is a string, whose escapes apply before the quoting:
    // every backslash is written twice, and line breaks and tabs as escapes.
    QString value;
    value.reserve(quoted.size() + 8);
    for (const QChar c : std::as_const(quoted)) {
        if (c == u'\\')
            value += QStringLiteral("\\\\");
        else if (c == u'\n')
            value += QStringLiteral("\\n");
        else if (c == u'\r')
            value += QStringLiteral("\\r");
        else if (c == u'\t')
            value += QStringLiteral("\\t");
        else
            value += c;
    }
    return value;
}
