# Cross build for 64-bit Windows with MinGW-w64.
set(SNIPORA_MINGW_ARCH x86_64)
set(SNIPORA_WINE_NAMES wine64 wine)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
