# Cross build for 32-bit Windows with mingw-w64: the shipped build, and the
# one every Windows test runs.
set(MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# 32-bit Wine runs every test program of this build, each under a time
# limit so that a hung program cannot hold up the run: shorter than the
# tests' own (cmake/WineTests.cmake), longer than any wait inside them.
set(CMAKE_CROSSCOMPILING_EMULATOR timeout --kill-after=10 240 /usr/lib/wine/wine)
