#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reads what a "window" event says about its container without building the
// whole JSON document: the event comes on every focus change, and the layout
// switch waits for it. Everything else in the event is skipped.
class SwayWindowEventReader {
public:
    struct Event {
        QString change;
        QString type; // "con", "floating_con", "workspace"…
        qint64 id = 0;
        qint64 pid = 0;
        bool hasAppId = false; // a string, not null: a Wayland client
        QString appId;
        bool hasWindowProperties = false; // an X client
        QString className;
        QString instanceName;
    };

    // nullopt when the payload is not a JSON object of the expected shape;
    // the caller then reads it with a full JSON parser.
    static std::optional<Event> read(const QByteArray& payload);
};
