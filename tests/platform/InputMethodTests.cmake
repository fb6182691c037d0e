# Input-method frameworks (fcitx5, IBus) as input sources.
find_package(PkgConfig REQUIRED)
pkg_check_modules(IM_CLIENT_X11 REQUIRED IMPORTED_TARGET x11)

# Stands in for an application's input-method module (see the file's header).
add_executable(tolvane-test-im-client InputMethodTestClient.cpp)
set_target_properties(tolvane-test-im-client PROPERTIES AUTOMOC ON)
target_link_libraries(tolvane-test-im-client PRIVATE Qt6::DBus PkgConfig::IM_CLIENT_X11)

tolvane_add_test(platform_input_method_units SOURCES InputMethodUnitTest.cpp LIBS tolvane_test_support tolvane_core)
tolvane_add_test(platform_input_method_daemons SOURCES InputMethodDaemonTest.cpp LIBS tolvane_test_support tolvane_feedback DISPLAY)
target_compile_definitions(platform_input_method_daemons PRIVATE
  TOLVANE_IM_CLIENT="$<TARGET_FILE:tolvane-test-im-client>")
add_dependencies(platform_input_method_daemons tolvane-test-im-client)
set_tests_properties(platform_input_method_daemons PROPERTIES TIMEOUT 180)
