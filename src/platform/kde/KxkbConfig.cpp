#include "KxkbConfig.h"

#include <QFile>
#include <QStandardPaths>

#include <algorithm>

namespace {

// "SwitchMode[$i]" -> "SwitchMode": KConfig's markers are not part of the key.
QString bareKey(QString key)
{
    const qsizetype marker = key.indexOf(QLatin1String("[$"));
    if (marker >= 0)
        key.truncate(marker);
    return key.trimmed();
}

QStringList listValue(const QString& value)
{
    QStringList items = value.split(QLatin1Char(','));
    for (QString& item : items)
        item = item.trimmed();
    return items;
}

} // namespace

KxkbConfig KxkbConfig::parse(const QList<QByteArray>& files)
{
    KxkbConfig config;
    for (const QByteArray& contents : files) {
        bool inLayout = false;
        for (const QByteArray& rawLine : contents.split('\n')) {
            const QString line = QString::fromUtf8(rawLine).trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            if (line.startsWith(QLatin1Char('['))) {
                inLayout = line == QLatin1String("[Layout]");
                continue;
            }
            const qsizetype equals = line.indexOf(QLatin1Char('='));
            if (!inLayout || equals <= 0)
                continue;
            const QString key = bareKey(line.left(equals));
            const QString value = line.mid(equals + 1).trimmed();
            if (key == QLatin1String("LayoutList"))
                config.layouts = value.isEmpty() ? QStringList() : listValue(value);
            else if (key == QLatin1String("VariantList"))
                config.variants = value.isEmpty() ? QStringList() : listValue(value);
            else if (key == QLatin1String("SwitchMode") && !value.isEmpty())
                config.switchMode = value;
        }
    }
    return config;
}

QStringList KxkbConfig::filePaths()
{
    QStringList paths = QStandardPaths::locateAll(QStandardPaths::GenericConfigLocation, QStringLiteral("kxkbrc"));
    // locateAll lists the user's file first.
    std::reverse(paths.begin(), paths.end());
    return paths;
}

KxkbConfig KxkbConfig::load()
{
    QList<QByteArray> files;
    for (const QString& path : filePaths()) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            files.append(file.read(1 << 20));
    }
    return parse(files);
}

bool KxkbConfig::switchesPerWindow() const
{
    return switchMode.compare(QLatin1String("WinClass"), Qt::CaseInsensitive) == 0
        || switchMode.compare(QLatin1String("Window"), Qt::CaseInsensitive) == 0;
}

QString KxkbConfig::variantAt(qsizetype index, const QString& layout) const
{
    if (index < 0 || index >= layouts.size() || layouts.at(index) != layout)
        return {};
    return variants.value(index);
}
