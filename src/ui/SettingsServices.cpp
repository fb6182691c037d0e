#include "SettingsServices.h"

SettingsServices& SettingsServices::current()
{
    static SettingsServices services;
    return services;
}
