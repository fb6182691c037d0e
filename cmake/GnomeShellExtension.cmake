# Tolvane's GNOME Shell extension, in the two forms GNOME loads: legacy imports
# (GNOME 42 to 44) and ES modules (45 and later). Both are assembled in the
# build tree under gnome-shell-extension/<variant>/<uuid>/; the one for the
# GNOME Shell found at configure time (legacy when none is found: Debian 12 has
# GNOME 43) is installed under share/gnome-shell/extensions/.
set(TOLVANE_GNOME_EXTENSION_UUID "tolvane@kelvora.com")
set(TOLVANE_GNOME_EXTENSION_VERSION 1)
set(TOLVANE_GNOME_SHELL_EXTENSION "auto" CACHE STRING "Extension variant to install: auto, legacy (GNOME 42-44) or modules (GNOME 45+)")
set_property(CACHE TOLVANE_GNOME_SHELL_EXTENSION PROPERTY STRINGS auto legacy modules)

set(extension_source ${PROJECT_SOURCE_DIR}/data/gnome-shell-extension)
set(TOLVANE_GNOME_EXTENSION_BUILD_DIR ${CMAKE_BINARY_DIR}/gnome-shell-extension)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${extension_source}/service.js ${extension_source}/metadata.json.in
             ${extension_source}/legacy/extension.js ${extension_source}/modules/extension.js)
file(READ ${extension_source}/service.js extension_service)

foreach(variant legacy modules)
  set(dir ${TOLVANE_GNOME_EXTENSION_BUILD_DIR}/${variant}/${TOLVANE_GNOME_EXTENSION_UUID})
  if(variant STREQUAL "legacy")
    set(TOLVANE_GNOME_SHELL_VERSIONS "\"42\", \"43\", \"44\"")
    file(WRITE ${dir}/service.js "${extension_service}")
  else()
    set(TOLVANE_GNOME_SHELL_VERSIONS "\"45\", \"46\", \"47\", \"48\"")
    file(WRITE ${dir}/service.js "${extension_service}\nexport {TolvaneShellService, BUS_NAME, OBJECT_PATH};\n")
  endif()
  configure_file(${extension_source}/metadata.json.in ${dir}/metadata.json @ONLY)
  configure_file(${extension_source}/${variant}/extension.js ${dir}/extension.js COPYONLY)
endforeach()

set(installed_variant ${TOLVANE_GNOME_SHELL_EXTENSION})
if(installed_variant STREQUAL "auto")
  set(installed_variant legacy)
  find_program(GNOME_SHELL_PROGRAM gnome-shell)
  if(GNOME_SHELL_PROGRAM)
    execute_process(COMMAND ${GNOME_SHELL_PROGRAM} --version OUTPUT_VARIABLE gnome_shell_version ERROR_QUIET)
    if(gnome_shell_version MATCHES "GNOME Shell ([0-9]+)" AND CMAKE_MATCH_1 GREATER_EQUAL 45)
      set(installed_variant modules)
    endif()
  endif()
endif()
set(TOLVANE_GNOME_EXTENSION_DIR ${TOLVANE_GNOME_EXTENSION_BUILD_DIR}/${installed_variant}/${TOLVANE_GNOME_EXTENSION_UUID})
install(DIRECTORY ${TOLVANE_GNOME_EXTENSION_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/gnome-shell/extensions)
