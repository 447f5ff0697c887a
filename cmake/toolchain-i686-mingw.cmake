# Cross build for 32-bit Windows with MinGW-w64.
set(SNIPORA_MINGW_ARCH i686)
set(SNIPORA_WINE_NAMES wine)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
# SSE2 arithmetic: doubles keep exactly their 64 bits, as stored in the data file, instead of the
# x87 unit's wider intermediate values.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
