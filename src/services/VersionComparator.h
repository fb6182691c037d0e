#pragma once

#include <QString>

// Orders version strings the way people read them: numbers compare as
// numbers ("1.10" is newer than "1.9"), missing parts count as zero ("2.0"
// equals "2"), and a pre-release suffix is older than the release
// ("2.0b1" < "2.0").
class VersionComparator {
public:
    // Negative when a is older than b, 0 when equal, positive when newer.
    static int compare(const QString& a, const QString& b);
};
