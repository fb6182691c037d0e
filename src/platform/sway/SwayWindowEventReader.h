#pragma once

#include <QByteArray>
#include <QJsonObject>
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

        // An application's window (not a workspace or other container) that names itself somehow.
        bool isClientWindow() const
        {
            return (type == QLatin1String("con") || type == QLatin1String("floating_con"))
                && (hasAppId || hasWindowProperties);
        }
    };

    // nullopt when the payload is not a JSON object of the expected shape;
    // the caller then reads it with a full JSON parser.
    static std::optional<Event> read(const QByteArray& payload);

    // read(), and the full JSON parser for whatever read() does not expect;
    // nullopt only when the payload is no JSON object. Both readers of window
    // events (the main thread and the switching thread) go through it, so they
    // agree on which events change the focus.
    static std::optional<Event> readAny(const QByteArray& payload);

    // A container of sway's tree (or of an event) as an event names it.
    static Event fromContainer(const QJsonObject& container);

    // What makes a window an application: two windows with the same key are
    // the same application.
    static QString windowKey(const Event& event);
};
