# Checks the distribution's zip: its entries are exactly the ENTRIES
# (PATH=FILE), each FOLDER/PATH byte for byte FILE, with no other entry, not
# even a folder; the read-me and the notices (.txt) end their lines with CRLF.
# (The binaries themselves are checked by cmake/check_pe.py.)
#   cmake -DZIP=... -DFOLDER=... -DENTRIES=a.exe=/build/a.exe;b.txt=/src/b.txt -P CheckBinary.cmake
cmake_minimum_required(VERSION 3.25)

# The entries as the zip lists them: an empty folder is an entry "name/".
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${ZIP} OUTPUT_VARIABLE held)
string(STRIP "${held}" held)
string(REPLACE "\n" ";" held "${held}")
list(TRANSFORM ENTRIES REPLACE "=.*" "" OUTPUT_VARIABLE expected)
list(TRANSFORM expected PREPEND ${FOLDER}/)
list(SORT held)
list(SORT expected)
if(NOT held STREQUAL expected)
  message(FATAL_ERROR "${ZIP} holds\n  ${held}\nnot\n  ${expected}")
endif()

set(unpacked ${CMAKE_CURRENT_BINARY_DIR}/binary_check_zip)
file(REMOVE_RECURSE ${unpacked})
file(ARCHIVE_EXTRACT INPUT ${ZIP} DESTINATION ${unpacked})
foreach(entry IN LISTS ENTRIES)
  string(REGEX REPLACE "=.*" "" name "${entry}")
  string(REGEX REPLACE "^[^=]*=" "" built "${entry}")
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${built} ${unpacked}/${FOLDER}/${name}
                  RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "${name} in ${ZIP} is not ${built}")
  endif()
  if(name MATCHES "\\.txt$")
    # As hex bytes, one word each: file(READ) as text would drop the CRs.
    file(READ ${built} bytes HEX)
    string(REGEX REPLACE "(..)" "\\1 " bytes "${bytes}")
    string(REPLACE "0d 0a " "" bytes "${bytes}")
    if(bytes MATCHES "0a ")
      message(FATAL_ERROR "${name} has lines that do not end in CRLF")
    endif()
  endif()
endforeach()
message(STATUS "${ZIP}: ${held}")
