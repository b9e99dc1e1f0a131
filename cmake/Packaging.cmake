# The distribution: Tessaly.exe and pixkit.dll collected in dist/ and zipped
# as Tessaly-<version>-<win32|win64>.zip, plus the same zip through CPack.
#
# The shipped build is the 32-bit one; its files go to <source>/dist. Other
# Windows builds (the 64-bit one that runs under wine64) collect into
# <build>/dist so that they never mix with the shipped files.
#
# The same file, run as a script (cmake -P), checks that a binary imports
# only Windows' own DLLs (and, for the plug-in, its host library).

if(CMAKE_SCRIPT_MODE_FILE)
  cmake_policy(VERSION 3.25)
  # cmake -DOBJDUMP=... -DBINARY=... -DALLOWED=a.dll,b.dll -P Packaging.cmake
  execute_process(COMMAND ${OBJDUMP} -p ${BINARY} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot read the imports of ${BINARY}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
  string(TOLOWER "${ALLOWED}" allowed)
  string(REPLACE "," ";" allowed "${allowed}")
  foreach(line ${imports})
    string(REGEX REPLACE "DLL Name: " "" dll "${line}")
    string(STRIP "${dll}" dll)
    string(TOLOWER "${dll}" dll)
    if(NOT dll IN_LIST allowed)
      message(FATAL_ERROR "${BINARY} imports ${dll}, which is not one of Windows' own DLLs")
    endif()
  endforeach()
  return()
endif()

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
set(TESSALY_DIST_NAME Tessaly-${PROJECT_VERSION}-${TESSALY_DIST_SUFFIX})

set(windows_dlls "kernel32.dll,user32.dll,gdi32.dll,advapi32.dll,shell32.dll,comctl32.dll,version.dll,msvcrt.dll")
find_program(TESSALY_OBJDUMP NAMES ${CMAKE_OBJDUMP} objdump)

# Both shipped binaries carry version information. The plug-in gets the
# project's unless it brings a resource script of its own.
if(TARGET pixkit)
  get_target_property(pixkit_sources pixkit SOURCES)
  list(FILTER pixkit_sources INCLUDE REGEX "\\.rc$")
  if(NOT pixkit_sources)
    configure_file(${tessaly_root}/checker/res/TessalyVersion.h.in
                   ${CMAKE_BINARY_DIR}/pixkit-version/TessalyVersion.h @ONLY)
    target_sources(pixkit PRIVATE ${tessaly_root}/checker/res/pixkit.rc)
    target_include_directories(pixkit PRIVATE ${CMAKE_BINARY_DIR}/pixkit-version)
  endif()
endif()

set(dist_files $<TARGET_FILE:Tessaly>)
set(dist_checks COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${TESSALY_OBJDUMP} -DBINARY=$<TARGET_FILE:Tessaly>
                "-DALLOWED=${windows_dlls}" -P ${CMAKE_CURRENT_LIST_FILE})
if(TARGET pixkit)
  list(APPEND dist_files $<TARGET_FILE:pixkit>)
  # The plug-in is loaded by an application built on vantor.dll and imports it.
  list(APPEND dist_checks COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${TESSALY_OBJDUMP} -DBINARY=$<TARGET_FILE:pixkit>
                          "-DALLOWED=${windows_dlls},vantor.dll" -P ${CMAKE_CURRENT_LIST_FILE})
endif()

add_custom_target(dist ALL
  ${dist_checks}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${TESSALY_DIST_DIR}/${TESSALY_DIST_NAME}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TESSALY_DIST_DIR}/${TESSALY_DIST_NAME}
  COMMAND ${CMAKE_COMMAND} -E copy ${dist_files} ${TESSALY_DIST_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy ${dist_files} ${TESSALY_DIST_DIR}/${TESSALY_DIST_NAME}
  COMMAND ${CMAKE_COMMAND} -E chdir ${TESSALY_DIST_DIR}
          ${CMAKE_COMMAND} -E tar cf ${TESSALY_DIST_NAME}.zip --format=zip ${TESSALY_DIST_NAME}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${TESSALY_DIST_DIR}/${TESSALY_DIST_NAME}
  COMMENT "Collecting Tessaly.exe and pixkit.dll in ${TESSALY_DIST_DIR} and zipping ${TESSALY_DIST_NAME}.zip"
  VERBATIM)
add_dependencies(dist Tessaly)
if(TARGET pixkit)
  add_dependencies(dist pixkit)
endif()

# The same contents through CPack: cpack -G ZIP in the build folder.
install(TARGETS Tessaly RUNTIME DESTINATION . COMPONENT shipped)
if(TARGET pixkit)
  install(TARGETS pixkit RUNTIME DESTINATION . LIBRARY DESTINATION . COMPONENT shipped)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Tessaly)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${TESSALY_DIST_NAME})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_COMPONENTS_ALL shipped)
include(CPack)
