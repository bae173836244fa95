# The Windows test programs (never the program itself): mingw-w64 for 32-bit Windows (XP SP3 and later), posix thread model.
set(QUELLNET_MINGW_TRIPLE i686-w64-mingw32)
set(QUELLNET_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
# Test programs run under Wine through scripts/wine-exec.sh.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec.sh)
