#include "BusRecords.h"

#include <QDBusMetaType>

void registerBusRecords()
{
    qDBusRegisterMetaType<BusInputSource>();
    qDBusRegisterMetaType<BusApplication>();
    qDBusRegisterMetaType<QList<BusInputSource>>();
    qDBusRegisterMetaType<QList<BusApplication>>();
}
