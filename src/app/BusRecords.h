#pragma once

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>

// The structures the D-Bus interface carries: an input source as (id, name,
// flag) and an application as (id, name). Empty strings stand for "none".
struct BusInputSource {
    QString id;
    QString name;
    QString flag;
    friend bool operator==(const BusInputSource&, const BusInputSource&) = default;
};

struct BusApplication {
    QString id;
    QString name;
    friend bool operator==(const BusApplication&, const BusApplication&) = default;
};

inline QDBusArgument& operator<<(QDBusArgument& argument, const BusInputSource& source)
{
    argument.beginStructure();
    argument << source.id << source.name << source.flag;
    argument.endStructure();
    return argument;
}

inline const QDBusArgument& operator>>(const QDBusArgument& argument, BusInputSource& source)
{
    argument.beginStructure();
    argument >> source.id >> source.name >> source.flag;
    argument.endStructure();
    return argument;
}

inline QDBusArgument& operator<<(QDBusArgument& argument, const BusApplication& application)
{
    argument.beginStructure();
    argument << application.id << application.name;
    argument.endStructure();
    return argument;
}

inline const QDBusArgument& operator>>(const QDBusArgument& argument, BusApplication& application)
{
    argument.beginStructure();
    argument >> application.id >> application.name;
    argument.endStructure();
    return argument;
}

Q_DECLARE_METATYPE(BusInputSource)
Q_DECLARE_METATYPE(BusApplication)

// Registers the structures with the D-Bus type system; call before the first use.
void registerBusRecords();
