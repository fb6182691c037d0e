#pragma once

#include <QImage>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <optional>

// The platform's handle for an application, as a plain value.
//
// `processKey` identifies the process. One process can show several
// applications (an office suite's writer and spreadsheet, a browser's web
// apps, every sandboxed app that reports the same in-sandbox pid), so two
// records are the same application only when both the process and the
// application id agree.
struct RunningApplication {
    enum class ActivationPolicy { Regular, Accessory, Prohibited };

    QString processKey;
    // The id rules are made with: the desktop-entry id when there is one.
    std::optional<QString> bundleIdentifier;
    // Every other name the application goes by (its window class, the id it
    // announces itself), so a rule made under any of them still matches.
    QStringList alternativeIdentifiers;
    QString localizedName;
    qint64 processIdentifier = 0;
    ActivationPolicy activationPolicy = ActivationPolicy::Regular;
    QString iconName; // icon theme name from the application's desktop entry
    QImage icon; // the window's own icon, when it has one (in the running applications only)

    bool isValid() const { return !processKey.isEmpty(); }
    bool isKnownAs(const QString& id) const { return bundleIdentifier == id || alternativeIdentifiers.contains(id); }
    friend bool operator==(const RunningApplication& a, const RunningApplication& b)
    {
        return a.processKey == b.processKey && a.bundleIdentifier == b.bundleIdentifier;
    }
};

Q_DECLARE_METATYPE(RunningApplication)
