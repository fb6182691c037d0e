#pragma once

#include "DesktopConflict.h"

#include <QList>
#include <QObject>

// Follows the desktop's own settings that undo Tolvane's switches (a desktop
// that restores a layout per window by itself, for one).
class DesktopConflictMonitor : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~DesktopConflictMonitor() override = default;

    virtual QList<DesktopConflict> conflicts() const = 0;

Q_SIGNALS:
    void conflictsChanged();
};
