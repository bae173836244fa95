# The program itself: mingw-w64 for 32-bit Windows (XP SP3 and later), win32 thread model.
set(QUELLNET_MINGW_TRIPLE i686-w64-mingw32)
set(QUELLNET_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
