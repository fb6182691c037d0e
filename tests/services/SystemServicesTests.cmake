# Launch at login, key-monitoring trust and update checks.
tolvane_add_test(services_launch_at_login SOURCES LaunchAtLoginManagerTest.cpp LIBS tolvane_test_support)
tolvane_add_test(services_permissions SOURCES PermissionsManagerTest.cpp LIBS tolvane_test_support)
tolvane_add_test(services_updates SOURCES UpdateManagerTest.cpp LIBS tolvane_test_support)
