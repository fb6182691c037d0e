#pragma once

#include <QCoreApplication>

// The one translation context of the interface: every user-visible text is an
// English key looked up as Tolvane::tr("..."), so a key translates the same
// wherever it is used and a missing entry shows the English key.
class Tolvane {
    Q_DECLARE_TR_FUNCTIONS(Tolvane)
};
