# The program itself: mingw-w64 for 64-bit Windows, win32 thread model.
set(QUELLNET_MINGW_TRIPLE x86_64-w64-mingw32)
set(QUELLNET_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
