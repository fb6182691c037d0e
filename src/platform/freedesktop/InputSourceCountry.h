#pragma once

#include "XkbRegistry.h"

#include <QString>

// The country a Linux input source stands for, from what the system says of
// it: an XKB layout's country list in xkeyboard-config, or the language an
// input-method framework reports for an engine. Codes are ISO 3166 alpha-2 in
// upper case; an empty string means the system names no country.
class InputSourceCountry {
public:
    // The layout's (or its variant's) first listed country, or the user's own
    // country when the list names it (a Mexican user of "latam" gets MX); else
    // the layout code itself when it is a country code ("in", "jp").
    static QString ofXkbLayout(const QString& layout, const QString& variant,
                               const XkbRegistry& registry = XkbRegistry::system());
    // "ja" -> "JP", "zh_TW" -> "TW", "ko" -> "KR": the country named in the
    // code, else the language's usual country.
    static QString ofLanguage(const QString& language);

    // "xkb:de" and "xkb:cz(bksl)" as Tolvane names XKB groups.
    static QString ofXkbGroupIdentifier(const QString& localName, const XkbRegistry& registry = XkbRegistry::system());
    // IBus's "xkb:cz:bksl:cze" engines carry their layout; others their language.
    static QString ofIBusEngine(const QString& engineName, const QString& language,
                                const XkbRegistry& registry = XkbRegistry::system());
    // fcitx5's "keyboard-cz-bksl" input methods carry their layout; others their language.
    static QString ofFcitx5InputMethod(const QString& uniqueName, const QString& language,
                                       const XkbRegistry& registry = XkbRegistry::system());

private:
    static QString countryCode(const QString& code);
};
