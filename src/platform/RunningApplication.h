#pragma once

#include <QImage>
#include <QMetaType>
#include <QString>

#include <optional>

// The platform's handle for an application process, as a plain value.
//
// Two records name the same application when they come from the same process:
// `processKey` identifies it, and equality compares only that key, so moving
// between two windows of one program is one application while two separate
// processes of one program are two.
struct RunningApplication {
    enum class ActivationPolicy { Regular, Accessory, Prohibited };

    QString processKey;
    std::optional<QString> bundleIdentifier;
    QString localizedName;
    qint64 processIdentifier = 0;
    ActivationPolicy activationPolicy = ActivationPolicy::Regular;
    QString iconName;  // icon theme name from the application's desktop entry
    QImage icon;       // the window's own icon, when it has one

    bool isValid() const { return !processKey.isEmpty(); }
    friend bool operator==(const RunningApplication& a, const RunningApplication& b)
    {
        return a.processKey == b.processKey;
    }
};

Q_DECLARE_METATYPE(RunningApplication)
