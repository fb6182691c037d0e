#pragma once

#include "DesktopConflict.h"

#include <QList>
#include <QObject>

// Follows what about the desktop works against Tolvane: its own settings that
// undo Tolvane's switches (a desktop that restores a layout per window by
// itself, for one) and what keeps Tolvane from switching at all (a GNOME Shell
// extension that is not running). Each backend may supply one; the settings
// window shows what it reports.
class DesktopConflictMonitor : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~DesktopConflictMonitor() override = default;

    virtual QList<DesktopConflict> conflicts() const = 0;

Q_SIGNALS:
    void conflictsChanged();
};
