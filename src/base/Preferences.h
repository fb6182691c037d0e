#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

// The user's preferences ($XDG_CONFIG_HOME/kelvora/Tolvane.conf on Linux).
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

    // Settings whose absence means on, for the part that acts on them and
    // for the page that shows them alike.
    static constexpr bool soundEnabledByDefault = true;
    static constexpr bool menuBarShowFlagByDefault = true;

    static void setValue(const QString& key, const QVariant& value);
    static void remove(const QString& key);
};
