#pragma once

#include "core/InputSource.h"

#include <QString>

// The flag emoji for an input source identifier: the first keyword of an
// ordered table found anywhere in the lowercased identifier decides it;
// "⌨️" (U+2328 U+FE0F) when none occurs.
QString flagEmoji(const QString& id);

// The flag of a country (ISO 3166 alpha-2, either case) as its pair of regional
// indicator symbols; "⌨️" for anything that is not two letters.
QString flagEmojiForCountry(const QString& countryCode);

// The flag of an input source: its country's flag when the system names one,
// "⌨️" when the system knows the source and names no country, and the keyword
// table of its identifier when the system says nothing about countries.
QString flagEmoji(const InputSource& source);

// "⌨️": what stands for "no flag".
QString keyboardSign();
