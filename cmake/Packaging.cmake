# `make package`: a Debian package of what `cmake --install` installs, under /usr.
# Dependencies come from dpkg-shlibdeps; the binary is stripped.

# The files Debian wants beside every package.
install(FILES ${PROJECT_SOURCE_DIR}/data/package/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tolvane)
configure_file(${PROJECT_SOURCE_DIR}/data/package/changelog.in ${CMAKE_BINARY_DIR}/package/changelog @ONLY)
find_program(GZIP_PROGRAM gzip REQUIRED)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/package/changelog.gz
                   COMMAND ${GZIP_PROGRAM} -9 -n -f -k ${CMAKE_BINARY_DIR}/package/changelog
                   DEPENDS ${CMAKE_BINARY_DIR}/package/changelog)
add_custom_target(tolvane_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/package/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/package/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tolvane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvane)
set(CPACK_PACKAGE_VENDOR Kelvora)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_CONTACT "Kelvora <tolvane@kelvora.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "per-application keyboard layout switcher")
set(CPACK_PACKAGE_DESCRIPTION
    "Tolvane keeps rules such as: while the terminal is in front, use US English;
and selects the input source of the application in front (an XKB layout, or
an fcitx5 or IBus input method), or a default one. It shows each switch with a
floating indicator, a sound, a notification and a flag in the tray. Switching
can be paused from the tray, with a hotkey or with tolvane --toggle-pause,
which talks to the running copy over its D-Bus interface.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://kelvora.com/tolvane)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The session bus that the command line and the second launch use.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "dbus-user-session | dbus-x11")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fcitx5 | ibus")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)
