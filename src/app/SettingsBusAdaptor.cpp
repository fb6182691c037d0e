#include "SettingsBusAdaptor.h"

SettingsBusAdaptor::SettingsBusAdaptor(QObject* host, std::function<void()> openSettings)
    : QDBusAbstractAdaptor(host)
    , m_openSettings(std::move(openSettings))
{
}

void SettingsBusAdaptor::OpenSettings()
{
    m_openSettings();
}
