# The distribution: Tessaly.exe and pixkit.dll with the read-me, the
# third-party notices and the plug-in's header include/pixkit.h, and the zip
# of them, Tessaly-<version>-win32.zip. The install component `shipped` is
# the one list of these files: the target `dist` (part of every build of the
# shipped 32-bit build) installs them into <source>/dist and zips what the
# install wrote. The binaries are the very files the tests run: they are
# stripped where they are built (cmake/SplitDebugInfo.cmake). The ctest
# entries binary_check_* (label `static`) check them and the zip.
get_filename_component(tessaly_root ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)

set(TESSALY_DIST_DIR ${tessaly_root}/dist CACHE PATH "Where the build collects the shipped files")
set(TESSALY_DIST_NAME Tessaly-${PROJECT_VERSION}-win32)
set(TESSALY_DIST_ZIP ${TESSALY_DIST_DIR}/${TESSALY_DIST_NAME}.zip)

# The read-me and the notices, kept with LF line ends: given CRLF here for
# Notepad, with the version filled in.
set(dist_texts README.txt THIRD-PARTY-NOTICES.txt)
foreach(text IN LISTS dist_texts)
  configure_file(${tessaly_root}/package/${text} ${CMAKE_BINARY_DIR}/package/${text} @ONLY NEWLINE_STYLE CRLF)
endforeach()
list(TRANSFORM dist_texts PREPEND ${CMAKE_BINARY_DIR}/package/)

install(TARGETS Tessaly pixkit RUNTIME DESTINATION . COMPONENT shipped LIBRARY DESTINATION . COMPONENT shipped)
install(FILES ${dist_texts} DESTINATION . COMPONENT shipped)
install(FILES ${tessaly_root}/plugin/pixkit.h DESTINATION include COMPONENT shipped)

# The zip's time, outside a git work tree, is the newest source file's: not
# one in the folders that builds write into (the presets' build/, this build,
# dist/).
set(built_dirs ${tessaly_root}/build ${CMAKE_BINARY_DIR} ${TESSALY_DIST_DIR})
list(TRANSFORM built_dirs PREPEND --skip=)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_target(dist ALL
  COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${TESSALY_DIST_DIR} --component shipped
  COMMAND ${Python3_EXECUTABLE} ${tessaly_root}/cmake/make-zip.py ${TESSALY_DIST_ZIP} ${TESSALY_DIST_NAME}
          ${TESSALY_DIST_DIR} ${CMAKE_BINARY_DIR}/install_manifest_shipped.txt ${built_dirs}
  COMMENT "Collecting Tessaly.exe, pixkit.dll, the read-me, the notices and pixkit.h in ${TESSALY_DIST_DIR} with their zip"
  VERBATIM)
add_dependencies(dist Tessaly pixkit)
