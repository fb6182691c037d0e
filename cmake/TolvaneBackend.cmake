# Platform backends. Every folder of src/platform with a CMakeLists.txt is one;
# that file declares the backend's option and calls tolvane_add_backend():
#
#   tolvane_backend_option(TOLVANE_WITH_SWAY "Sway: window focus and layouts over sway IPC" ON)
#   if(NOT TOLVANE_WITH_SWAY)
#     return()
#   endif()
#   tolvane_add_backend(sway REGISTER registerSwayBackend [SOURCES ...] [LIBRARIES ...])
#
# SOURCES default to every .cpp and .h of the folder. REGISTER names the
# function `void f(PlatformRegistry&)` that adds the backend to the registry;
# the build writes the one call list (PlatformBackends.cpp) from these.
include(FeatureSummary)

macro(tolvane_backend_option variable description default)
  option(${variable} "${description}" ${default})
  add_feature_info(${variable} ${variable} "${description}")
endmacro()

function(tolvane_add_backend name)
  cmake_parse_arguments(B "" "REGISTER" "SOURCES;LIBRARIES" ${ARGN})
  if(NOT B_REGISTER)
    message(FATAL_ERROR "tolvane_add_backend(${name}): REGISTER <function> is required")
  endif()
  if(NOT B_SOURCES)
    file(GLOB B_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  endif()
  add_library(tolvane_platform_${name} STATIC ${B_SOURCES})
  target_link_libraries(tolvane_platform_${name} PUBLIC ${TOLVANE_BACKEND_BASE} PRIVATE ${B_LIBRARIES})
  tolvane_check_headers(tolvane_platform_${name})
  set_property(GLOBAL APPEND PROPERTY TOLVANE_BACKEND_NAMES ${name})
  set_property(GLOBAL APPEND PROPERTY TOLVANE_BACKEND_FUNCTIONS ${B_REGISTER})
endfunction()

# The folders of src/platform that hold a backend, as names relative to it.
function(tolvane_backend_folders out platform_dir)
  file(GLOB lists CONFIGURE_DEPENDS ${platform_dir}/*/CMakeLists.txt)
  set(folders "")
  foreach(list ${lists})
    get_filename_component(folder ${list} DIRECTORY)
    get_filename_component(folder ${folder} NAME)
    list(APPEND folders ${folder})
  endforeach()
  set(${out} ${folders} PARENT_SCOPE)
endfunction()

# Writes PlatformBackends.cpp (registerPlatformBackends calling each backend's
# function) into `target` and links the backends' libraries to it.
function(tolvane_register_backends target)
  get_property(names GLOBAL PROPERTY TOLVANE_BACKEND_NAMES)
  get_property(functions GLOBAL PROPERTY TOLVANE_BACKEND_FUNCTIONS)
  set(declarations "")
  set(calls "")
  foreach(function ${functions})
    string(APPEND declarations "void ${function}(PlatformRegistry& registry);\n")
    string(APPEND calls "    ${function}(registry);\n")
  endforeach()
  file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/PlatformBackends.cpp CONTENT
"// Written by cmake/TolvaneBackend.cmake: the backends of this build.
#include \"platform/PlatformRegistry.h\"

@declarations@
void registerPlatformBackends([[maybe_unused]] PlatformRegistry& registry)
{
@calls@}
" @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/PlatformBackends.cpp)
  foreach(name ${names})
    target_link_libraries(${target} PUBLIC tolvane_platform_${name})
  endforeach()
  message(STATUS "Platform backends: ${names}")
endfunction()
