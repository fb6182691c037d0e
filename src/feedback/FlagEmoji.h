#pragma once

#include <QString>

// The flag emoji for an input source identifier: the first keyword of an
// ordered table found anywhere in the lowercased identifier decides it;
// "⌨️" (U+2328 U+FE0F) when none occurs.
QString flagEmoji(const QString& id);
