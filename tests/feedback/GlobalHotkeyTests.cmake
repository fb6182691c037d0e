# The pause hotkey: the X RECORD monitor and the manager against key presses on
# the real X server.
tolvane_add_test(feedback_global_hotkey_display SOURCES GlobalHotkeyDisplayTest.cpp LIBS tolvane_test_support X11 DISPLAY)
target_compile_definitions(feedback_global_hotkey_display PRIVATE
                           TOLVANE_HOTKEY_TEST_WINDOW="$<TARGET_FILE:tolvane-test-window>")
add_dependencies(feedback_global_hotkey_display tolvane-test-window)
