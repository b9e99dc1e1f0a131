# Cross build for 64-bit Windows with mingw-w64, from the same sources as the
# shipped 32-bit build. It runs the Windows tests under 64-bit Wine, the fast
# loop on machines whose kernel cannot start 32-bit code.
set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# 64-bit Wine's loader; ctest runs every test program of this build with it.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
