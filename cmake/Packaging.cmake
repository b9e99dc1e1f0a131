# The distribution: Tessaly.exe and pixkit.dll collected in dist/ and zipped
# as Tessaly-<version>-<win32|win64>.zip, plus the same zip through CPack.
#
# The shipped build is the 32-bit one; its files go to <source>/dist. Other
# Windows builds (the 64-bit one that runs under wine64) collect into
# <build>/dist so that they never mix with the shipped files.
#
# Before collecting, each binary is checked with CheckBinary.cmake: its
# machine type and that it imports only Windows' own DLLs (the plug-in also
# its host library).

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


set(dist_files $<TARGET_FILE:Tessaly>)
set(dist_checks COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${PE_OBJDUMP} -DFILE=$<TARGET_FILE:Tessaly>
                -DMACHINE=${pe_machine} -P ${CMAKE_CURRENT_LIST_DIR}/CheckBinary.cmake)
if(TARGET pixkit)
  list(APPEND dist_files $<TARGET_FILE:pixkit>)
  # The plug-in is loaded by an application built on vantor.dll and imports it.
  list(APPEND dist_checks COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${PE_OBJDUMP} -DFILE=$<TARGET_FILE:pixkit>
                          -DMACHINE=${pe_machine} -DALSO_ALLOWED=vantor.dll
                          -P ${CMAKE_CURRENT_LIST_DIR}/CheckBinary.cmake)
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
