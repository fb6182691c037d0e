#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

// One entry of the preferences table (PreferenceKeys): its name in the file,
// its type, the default the part that acts on it assumes while it is absent,
// the default its settings page shows, and whether Reset Settings removes it.
struct PreferenceKey {
    QString name;
    QMetaType::Type type;
    QVariant actedOnDefault;
    QVariant pageDefault;
    bool reset;
};
