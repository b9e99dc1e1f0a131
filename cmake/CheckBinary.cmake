# Checks a built Windows binary without running it: its machine type, that it
# imports only Windows' KnownDLLs (and the ones named in ALSO_ALLOWED), that it
# carries no debug sections (they belong in the .debug file beside it), and,
# when EXPORTS is given, that those names are exported exactly, undecorated.
# With NO_CXX_IMPORTS, no imported name may be a C++ (mangled _Z...) name:
# such names are one compiler's own and bind the file to a host built by it.
#   cmake -DOBJDUMP=... -DFILE=... -DMACHINE=pei-i386 [-DALSO_ALLOWED=a.dll;b.dll]
#         [-DEXPORTS=A;B] [-DNO_CXX_IMPORTS=ON] -P CheckBinary.cmake
#
# Also that it is linked as Windows' hardening baseline asks (rows below).
#
# With ZIP, checks the distribution's zip instead: its entries are exactly the
# ENTRIES (PATH=FILE), each FOLDER/PATH byte for byte FILE, with no other entry,
# not even a folder; the read-me and the notices (.txt) end their lines with CRLF.
#   cmake -DZIP=... -DFOLDER=... -DENTRIES=a.exe=/build/a.exe;b.txt=/src/b.txt -P CheckBinary.cmake
cmake_minimum_required(VERSION 3.25)

if(ZIP)
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
  return()
endif()

# Windows' KnownDLLs (always taken from the system folder, never from beside
# the program) that a shipped file may import, and comctl32.dll, which the
# manifest's side-by-side dependency binds. Any other DLL, version.dll for
# one, would be looked for first in the program's own folder, where a
# download may have planted a DLL of that name: load it at run time from the
# system folder instead.
set(system_dlls kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll shlwapi.dll
    ole32.dll oleaut32.dll msvcrt.dll comdlg32.dll comctl32.dll)

execute_process(COMMAND ${OBJDUMP} -p ${FILE} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${FILE}")
endif()

execute_process(COMMAND ${OBJDUMP} -f ${FILE} OUTPUT_VARIABLE header)
if(NOT header MATCHES "file format ${MACHINE}")
  message(FATAL_ERROR "${FILE} is not ${MACHINE}:\n${header}")
endif()

execute_process(COMMAND ${OBJDUMP} -h ${FILE} OUTPUT_VARIABLE sections)
string(REGEX MATCHALL " \\.debug_[a-z_]+" debug_sections "${sections}")
if(debug_sections)
  message(FATAL_ERROR "${FILE} carries debug sections:${debug_sections}")
endif()

# Windows' hardening baseline, one rule a row: the text read (objdump -p as
# dump), what it must match, what is wrong with the file if not.
macro(require text regex failure)
  if(NOT "${${text}}" MATCHES "${regex}")
    list(APPEND broken "${failure}")
  endif()
endmacro()
string(REGEX MATCH "DllCharacteristics[^\n]*(\n\t+[A-Z_]+)*\n" flags "${dump}")
# Sections from objdump -h: writable unless READONLY, executable if CODE.
string(REGEX MATCHALL "\n +[0-9]+ [^ ]+[^\n]*\n[^\n]*" section_headers "${sections}")
foreach(section IN LISTS section_headers)
  if(NOT section MATCHES "READONLY" AND section MATCHES "CODE|SHARED")
    string(REGEX REPLACE "^\n +[0-9]+ ([^ ]+).*" "\\1" name "${section}")
    list(APPEND unsafe_sections ${name})
  endif()
endforeach()
# Stack cookies: calls to __stack_chk_fail, found at its address in the .debug
# file's symbols. libssp makes one itself, linked in by the fortify checks alone.
string(REGEX REPLACE "objdump$" "nm" nm "${OBJDUMP}")
execute_process(COMMAND ${nm} ${FILE}.debug OUTPUT_VARIABLE debug_symbols)
string(REGEX MATCH "0*([0-9a-f]+) T _?__stack_chk_fail\n" stack_chk_fail "${debug_symbols}")
execute_process(COMMAND ${OBJDUMP} -d ${FILE} OUTPUT_VARIABLE code)
string(REGEX MATCHALL "\tcall +0x${CMAKE_MATCH_1}\n" cookie_checks "${code}")
list(LENGTH cookie_checks cookie_checks)
#       read             must match                                              else the file
require(flags            "\tDYNAMIC_BASE\n"                                      "is not DYNAMIC_BASE: no ASLR")
require(dump             "Entry 5 [0-9a-f]+ 0*[1-9a-f][0-9a-f]* Base Reloc"      "has no relocation table for ASLR")
require(flags            "\tNX_COMPAT\n"                                         "is not NX_COMPAT: no DEP")
require(flags            "\tNO_SEH\n"                                            "is not NO_SEH")
require(dump             "\nSubsystem\t+00000002\t"                              "is not a Windows GUI subsystem file")
require(dump             "MajorSubsystemVersion\t6\nMinorSubsystemVersion\t1\n"  "does not give 6.1 as subsystem version")
require(dump             "MajorOSystemVersion\t6\nMinorOSystemVersion\t1\n"      "does not give 6.1 as OS version")
require(unsafe_sections  "^$"                                                    "has sections writable and executable or shared: ${unsafe_sections}")
require(cookie_checks    "^([2-9]|[1-9][0-9]+)$"                                 "checks no stack cookie: ${cookie_checks} calls to __stack_chk_fail")
if(FILE MATCHES "\\.exe$")
  require(flags          "\tTERMINAL_SERVICE_AWARE\n"                            "is not TERMINAL_SERVER_AWARE")
endif()
if(broken)
  list(JOIN broken "\n  " broken)
  message(FATAL_ERROR "${FILE}:\n  ${broken}")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
foreach(line IN LISTS imports)
  string(REPLACE "DLL Name: " "" dll "${line}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll IN_LIST system_dlls AND NOT dll IN_LIST ALSO_ALLOWED)
    message(FATAL_ERROR "${FILE} imports ${dll}, which is not a KnownDLL of Windows")
  endif()
endforeach()

if(NO_CXX_IMPORTS)
  # Import entries read "<vma> <hint> <name>"; the export table comes after.
  string(REGEX REPLACE "\nThere is an export table.*" "" import_part "${dump}")
  string(REGEX MATCHALL "\n[ \t]+[0-9a-f]+[ \t]+[0-9]+[ \t]+_Z[^\n]*" cxx_imports "${import_part}")
  if(cxx_imports)
    string(REGEX REPLACE "\n[ \t]+[0-9a-f]+[ \t]+[0-9]+[ \t]+" "\n  " cxx_imports "${cxx_imports}")
    string(REPLACE ";" "" cxx_imports "${cxx_imports}")
    message(FATAL_ERROR "${FILE} imports C++ names:${cxx_imports}")
  endif()
endif()

foreach(name IN LISTS EXPORTS)
  if(NOT dump MATCHES "\\][ \t]+${name}\n")
    message(FATAL_ERROR "${FILE} does not export ${name} under its plain name")
  endif()
endforeach()
message(STATUS "${FILE}: ${MACHINE}, ${cookie_checks} calls to __stack_chk_fail, imports ${imports}")
