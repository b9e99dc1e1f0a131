# split_debug_info(<target>): right after <target> is linked, moves its debug
# information into <file>.debug beside it and strips the file itself. The
# stripped file names the .debug file (and its CRC) in a .gnu_debuglink
# section, where gdb and addr2line look for it. Stripping the built file, not
# an installed copy, makes the file the tests run the very file that dist/
# and the zip ship.
#
# objcopy writes the current time into the PE header unless SOURCE_DATE_EPOCH
# says otherwise; 0 keeps the linker's time stamp (-Wl,--no-insert-timestamp).
function(split_debug_info target)
  set(file $<TARGET_FILE:${target}>)
  set(objcopy ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_OBJCOPY})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${objcopy} --only-keep-debug ${file} ${file}.debug
    COMMAND ${objcopy} --strip-all --add-gnu-debuglink=${file}.debug ${file}
    VERBATIM)
endfunction()
