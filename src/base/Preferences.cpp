#include "Preferences.h"

#include "PreferenceChanges.h"

#include <cmath>

QSettings& Preferences::store()
{
    static QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("kelvora"),
                              QStringLiteral("Tolvane"));
    return settings;
}

bool Preferences::contains(const QString& key)
{
    return store().contains(key);
}

bool Preferences::boolValue(const QString& key)
{
    return boolValue(key, false);
}

double Preferences::doubleValue(const QString& key)
{
    return doubleValue(key, 0.0);
}

std::optional<QString> Preferences::stringValue(const QString& key)
{
    const QVariant value = store().value(key);
    if (!value.isValid())
        return std::nullopt;
    return value.toString();
}

std::optional<QStringList> Preferences::stringListValue(const QString& key)
{
    const QVariant value = store().value(key);
    if (!value.isValid())
        return std::nullopt;
    return value.toStringList();
}

bool Preferences::boolValue(const QString& key, bool defaultValue)
{
    const QVariant value = store().value(key);
    return value.isValid() ? value.toBool() : defaultValue;
}

double Preferences::doubleValue(const QString& key, double defaultValue)
{
    const QVariant value = store().value(key);
    if (!value.isValid())
        return defaultValue;
    bool ok = false;
    const double number = value.toDouble(&ok);
    // "nan" and "inf" read as numbers, but no setting means them.
    return ok && std::isfinite(number) ? number : defaultValue;
}

QString Preferences::stringValue(const QString& key, const QString& defaultValue)
{
    return stringValue(key).value_or(defaultValue);
}

void Preferences::setValue(const QString& key, const QVariant& value)
{
    store().setValue(key, value);
    store().sync();
    Q_EMIT PreferenceChanges::shared().changed(key);
}

void Preferences::remove(const QString& key)
{
    store().remove(key);
    store().sync();
    Q_EMIT PreferenceChanges::shared().changed(key);
}
