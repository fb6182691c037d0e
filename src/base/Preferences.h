#pragma once

#include "PreferenceKey.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

// The user's preferences ($XDG_CONFIG_HOME/kelvora/Tolvane.conf on Linux),
// named by the entries of PreferenceKeys. The one place that writes them:
// every setValue and remove is announced by PreferenceChanges.
//
// Plain reads give what an absent key means everywhere: false, 0, no text.
// Bound reads carry the default of the place that reads them and never write it.
class Preferences {
public:
    static QSettings& store();

    static bool contains(const QString& key);

    static bool boolValue(const QString& key);
    static double doubleValue(const QString& key);
    static std::optional<QString> stringValue(const QString& key);
    static std::optional<QStringList> stringListValue(const QString& key);

    static bool boolValue(const QString& key, bool defaultValue);
    // A value that is not a finite number counts as absent.
    static double doubleValue(const QString& key, double defaultValue);
    static QString stringValue(const QString& key, const QString& defaultValue);

    // Bound reads with the table's default where the value is acted on.
    static bool boolValue(const PreferenceKey& key) { return boolValue(key.name, key.actedOnDefault.toBool()); }
    static double doubleValue(const PreferenceKey& key) { return doubleValue(key.name, key.actedOnDefault.toDouble()); }
    static QString stringValue(const PreferenceKey& key)
    {
        return stringValue(key.name, key.actedOnDefault.toString());
    }

    static void setValue(const QString& key, const QVariant& value);
    static void remove(const QString& key);
};
