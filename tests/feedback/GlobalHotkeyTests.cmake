# The pause hotkey: its logic against a fake monitor, and the X RECORD monitor
# against key presses on the real X server.
tolvane_add_test(feedback_global_hotkey SOURCES GlobalHotkeyManagerTest.cpp LIBS tolvane_test_support)
tolvane_add_test(feedback_global_hotkey_display SOURCES GlobalHotkeyDisplayTest.cpp LIBS tolvane_test_support X11 DISPLAY)
target_compile_definitions(feedback_global_hotkey_display PRIVATE
                           TOLVANE_HOTKEY_TEST_WINDOW="$<TARGET_FILE:tolvane-test-window>")
add_dependencies(feedback_global_hotkey_display tolvane-test-window)
