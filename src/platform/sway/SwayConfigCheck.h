#pragma once

#include <QString>
#include <QStringList>

// Finds what in a sway configuration works against Tolvane: `for_window`
// rules that switch the keyboard layout themselves, so that the compositor and
// Tolvane both switch on focus and the last one wins by chance.
class SwayConfigCheck {
public:
    // The offending lines, trimmed, in the file's order.
    static QStringList layoutSwitchingWindowRules(const QString& config);
};
