#pragma once

#include <QMetaType>
#include <QString>
#include <QUuid>

// One per-application rule: while the application with `appBundleID` is in
// front, select `targetInputSourceID`.
struct AppRule {
    QUuid id = QUuid::createUuid();
    QString appBundleID;
    QString appName;
    QString targetInputSourceID;
    bool isEnabled = true;

    friend bool operator==(const AppRule&, const AppRule&) = default;
};

Q_DECLARE_METATYPE(AppRule)
