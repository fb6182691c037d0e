#pragma once

/* A plain C interface to the analytics client, for callers in other languages. Texts are
 * NUL-terminated UTF-8. Every function accepts null pointers (a null name or handle does
 * nothing). Call from any thread once a QCoreApplication exists. */

#include <stdbool.h>
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct TelemetryManagerConfigurationProxy TelemetryManagerConfigurationProxy;

typedef struct TelemetryParameter {
    const char* key;
    const char* value;
} TelemetryParameter;

TelemetryManagerConfigurationProxy* td_configuration_init_with_app_id(const char* appID);
TelemetryManagerConfigurationProxy* td_configuration_init_with_app_id_salt(const char* appID, const char* salt);
TelemetryManagerConfigurationProxy* td_configuration_init_with_app_id_base_url(const char* appID, const char* baseURL);
TelemetryManagerConfigurationProxy* td_configuration_init_with_app_id_salt_base_url(const char* appID, const char* salt,
                                                                                    const char* baseURL);
/* Releases the handle; a manager initialised with it keeps its own reference. */
void td_configuration_free(TelemetryManagerConfigurationProxy* configuration);

bool td_configuration_send_new_session_began_signal(const TelemetryManagerConfigurationProxy* configuration);
void td_configuration_set_send_new_session_began_signal(TelemetryManagerConfigurationProxy* configuration, bool send);
bool td_configuration_test_mode(const TelemetryManagerConfigurationProxy* configuration);
void td_configuration_set_test_mode(TelemetryManagerConfigurationProxy* configuration, bool testMode);
bool td_configuration_analytics_disabled(const TelemetryManagerConfigurationProxy* configuration);
void td_configuration_set_analytics_disabled(TelemetryManagerConfigurationProxy* configuration, bool disabled);

void td_manager_initialize_with(const TelemetryManagerConfigurationProxy* configuration);
void td_manager_terminate(void);
void td_manager_send(const char* signalName);
void td_manager_send_with(const char* signalName, const TelemetryParameter* parameters, size_t count);
void td_manager_send_for_with(const char* signalName, const char* customUserID, const TelemetryParameter* parameters,
                              size_t count);
/* A null user goes back to the generated identifier. */
void td_manager_update_default_user_to(const char* user);
void td_manager_generate_new_session(void);

#ifdef __cplusplus
}
#endif
