#pragma once

#include <QString>

namespace telemetrydeck {

class Sha256 {
public:
    // SHA-256 of the UTF-8 bytes of text followed by salt, as 64 lower-case hex digits.
    static QString hex(const QString& text, const QString& salt = {});
};

} // namespace telemetrydeck
