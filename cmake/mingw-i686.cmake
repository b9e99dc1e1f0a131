# Cross build for 32-bit Windows with mingw-w64: the shipped build.
set(MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# SSE2 for all arithmetic: doubles round to IEEE double as in the 64-bit
# build (x87 would keep excess precision), and the filters take their SIMD
# path. A 32-bit Windows caller guarantees only 4-byte stack alignment, so
# every function that keeps SSE values on the stack realigns it on entry.
set(CMAKE_C_FLAGS_INIT   "-msse2 -mfpmath=sse -mincoming-stack-boundary=2")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mincoming-stack-boundary=2")

# 32-bit Wine's loader; ctest runs every test program of this build with it.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
