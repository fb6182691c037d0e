#pragma once

#include "AppcastItem.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Reads an update feed: an RSS 2.0 document whose items each carry
// <enclosure url="…" sparkle:version="…" sparkle:shortVersionString="…"/>
// (the attributes may also be <sparkle:version> elements of the item).
// Items without a version or without an https download link are not offered;
// they are listed as rejected with the reason.
class AppcastParser {
public:
    struct Rejected {
        QString versionString; // may be empty
        QString reason;
    };
    struct Result {
        std::optional<QList<AppcastItem>> items;
        QList<Rejected> rejected;
        QString error; // set when items is absent
    };

    static Result parse(const QByteArray& document);
};
