#pragma once

#include "AppcastItem.h"

#include <QString>

// What the user sees of an update check. The updater never installs
// anything: an update found is offered as a link to download.
class UpdateUserDriver {
public:
    virtual ~UpdateUserDriver() = default;

    virtual void showUpToDate(const QString& currentVersion) = 0;
    virtual void showUpdateFound(const AppcastItem& item, const QString& currentVersion) = 0;
    virtual void showUpdateError(const QString& message) = 0;
};
