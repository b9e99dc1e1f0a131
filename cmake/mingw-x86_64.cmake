# Cross build for 64-bit Windows with mingw-w64, for bench/check-run-speed.sh
# alone: on a kernel that runs no 32-bit code, 32-bit Wine runs only under
# emulation, which would swamp what the benchmark times. No test uses it.
set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
