#include "TelemetryClient.h"

#include "TelemetryManager.h"
#include "TelemetryManagerConfiguration.h"

#include <memory>

using namespace telemetrydeck;

struct TelemetryManagerConfigurationProxy {
    std::shared_ptr<TelemetryManagerConfiguration> telemetryDeckConfiguration;
};

namespace {

std::optional<QString> text(const char* utf8)
{
    if (!utf8)
        return std::nullopt;
    return QString::fromUtf8(utf8);
}

TelemetryManagerConfigurationProxy* makeProxy(const char* appID, const char* salt, const char* baseURL)
{
    std::optional<QUrl> url;
    if (baseURL)
        url = QUrl(QString::fromUtf8(baseURL), QUrl::StrictMode);
    return new TelemetryManagerConfigurationProxy{
        std::make_shared<TelemetryManagerConfiguration>(text(appID).value_or(QString()), text(salt), url)};
}

SignalParameters parameterMap(const TelemetryParameter* parameters, size_t count)
{
    SignalParameters map;
    if (!parameters)
        return map;
    for (size_t i = 0; i < count; ++i) {
        if (parameters[i].key && parameters[i].value)
            map.insert(QString::fromUtf8(parameters[i].key), QString::fromUtf8(parameters[i].value));
    }
    return map;
}

} // namespace

extern "C" {

TelemetryManagerConfigurationProxy* td_configuration_init_with_app_id(const char* appID)
{
    return makeProxy(appID, nullptr, nullptr);
}

TelemetryManagerConfigurationProxy* td_configuration_init_with_app_id_salt(const char* appID, const char* salt)
{
    return makeProxy(appID, salt, nullptr);
}

TelemetryManagerConfigurationProxy* td_configuration_init_with_app_id_base_url(const char* appID, const char* baseURL)
{
    return makeProxy(appID, nullptr, baseURL);
}

TelemetryManagerConfigurationProxy* td_configuration_init_with_app_id_salt_base_url(const char* appID, const char* salt,
                                                                                    const char* baseURL)
{
    return makeProxy(appID, salt, baseURL);
}

void td_configuration_free(TelemetryManagerConfigurationProxy* configuration)
{
    delete configuration;
}

bool td_configuration_send_new_session_began_signal(const TelemetryManagerConfigurationProxy* configuration)
{
    return configuration && configuration->telemetryDeckConfiguration->sendNewSessionBeganSignal();
}

void td_configuration_set_send_new_session_began_signal(TelemetryManagerConfigurationProxy* configuration, bool send)
{
    if (configuration)
        configuration->telemetryDeckConfiguration->setSendNewSessionBeganSignal(send);
}

bool td_configuration_test_mode(const TelemetryManagerConfigurationProxy* configuration)
{
    return configuration && configuration->telemetryDeckConfiguration->testMode();
}

void td_configuration_set_test_mode(TelemetryManagerConfigurationProxy* configuration, bool testMode)
{
    if (configuration)
        configuration->telemetryDeckConfiguration->setTestMode(testMode);
}

bool td_configuration_analytics_disabled(const TelemetryManagerConfigurationProxy* configuration)
{
    return configuration && configuration->telemetryDeckConfiguration->analyticsDisabled();
}

void td_configuration_set_analytics_disabled(TelemetryManagerConfigurationProxy* configuration, bool disabled)
{
    if (configuration)
        configuration->telemetryDeckConfiguration->setAnalyticsDisabled(disabled);
}

void td_manager_initialize_with(const TelemetryManagerConfigurationProxy* configuration)
{
    if (configuration)
        TelemetryManager::initialize(configuration->telemetryDeckConfiguration);
}

void td_manager_terminate(void)
{
    TelemetryManager::terminate();
}

void td_manager_send(const char* signalName)
{
    if (signalName)
        TelemetryManager::send(QString::fromUtf8(signalName));
}

void td_manager_send_with(const char* signalName, const TelemetryParameter* parameters, size_t count)
{
    if (signalName)
        TelemetryManager::send(QString::fromUtf8(signalName), parameterMap(parameters, count));
}

void td_manager_send_for_with(const char* signalName, const char* customUserID, const TelemetryParameter* parameters,
                              size_t count)
{
    if (signalName)
        TelemetryManager::send(QString::fromUtf8(signalName), text(customUserID), parameterMap(parameters, count));
}

void td_manager_update_default_user_to(const char* user)
{
    TelemetryManager::updateDefaultUser(text(user));
}

void td_manager_generate_new_session(void)
{
    TelemetryManager::generateNewSession();
}

} // extern "C"
