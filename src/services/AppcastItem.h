#pragma once

#include <QMetaType>
#include <QString>
#include <QUrl>

// One release in an update feed: an RSS <item> whose <enclosure> carries the
// download link, the build version (sparkle:version) and the version shown to
// users (sparkle:shortVersionString).
struct AppcastItem {
    QString title;
    QString versionString;
    QString displayVersionString;
    QUrl fileURL;
    // A page about the release (<link>), https only; may be empty.
    QUrl infoURL;

    friend bool operator==(const AppcastItem&, const AppcastItem&) = default;
};

Q_DECLARE_METATYPE(AppcastItem)
