#pragma once

#include <QMetaType>
#include <QString>
#include <QUrl>

#include <optional>

// One enabled input source: a keyboard layout, an input method or an input mode.
struct InputSource {
    QString id;
    QString name;
    std::optional<QUrl> iconURL;
    // The country the system associates with the source (ISO 3166 alpha-2):
    // "" when the system names none, nullopt when the system says nothing
    // about countries (the flag then comes from the identifier's keywords).
    std::optional<QString> countryCode;

    friend bool operator==(const InputSource&, const InputSource&) = default;
};

inline size_t qHash(const InputSource& source, size_t seed = 0)
{
    return qHashMulti(seed, source.id, source.name, source.iconURL ? source.iconURL->toString() : QString(),
                      source.countryCode.value_or(QString()));
}

Q_DECLARE_METATYPE(InputSource)
