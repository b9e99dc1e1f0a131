# The distribution: Tessaly.exe and pixkit.dll, zipped by CPack as
# Tessaly-<version>-<win32|win64>.zip. The target `dist` (part of every
# build) installs both files into the dist folder and runs CPack there.
#
# The shipped build is the 32-bit one; its files go to <source>/dist. Other
# Windows builds (the 64-bit one that runs under wine64) collect into
# <build>/dist so that they never mix with the shipped files. The binaries
# are the very files the tests run: they are stripped where they are built
# (cmake/SplitDebugInfo.cmake). The ctest entries binary_check_* (label
# `static`) check them.

if(NOT WIN32)
  return()
endif()
get_filename_component(tessaly_root ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(TESSALY_DIST_SUFFIX win32)
  set(TESSALY_DIST_DIR ${tessaly_root}/dist CACHE PATH "Where the build collects the shipped files")
else()
  set(TESSALY_DIST_SUFFIX win64)
  set(TESSALY_DIST_DIR ${CMAKE_BINARY_DIR}/dist CACHE PATH "Where the build collects the shipped files")
endif()

install(TARGETS Tessaly pixkit RUNTIME DESTINATION . COMPONENT shipped LIBRARY DESTINATION . COMPONENT shipped)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Tessaly)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Tessaly-${PROJECT_VERSION}-${TESSALY_DIST_SUFFIX})
set(CPACK_PACKAGE_DIRECTORY ${TESSALY_DIST_DIR})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_COMPONENTS_ALL shipped)
set(CPACK_OUTPUT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackConfig.cmake)
include(CPack)

add_custom_target(dist ALL
  COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${TESSALY_DIST_DIR} --component shipped
  COMMAND ${CMAKE_CPACK_COMMAND} --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake -B ${TESSALY_DIST_DIR}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${TESSALY_DIST_DIR}/_CPack_Packages
  COMMENT "Collecting Tessaly.exe and pixkit.dll in ${TESSALY_DIST_DIR} with their zip"
  VERBATIM)
add_dependencies(dist Tessaly pixkit)
