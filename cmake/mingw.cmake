# Shared part of the mingw-w64 toolchain files. The including file sets
# QUELLNET_MINGW_TRIPLE (i686-w64-mingw32 or x86_64-w64-mingw32) and
# QUELLNET_MINGW_THREADS:
#   win32  the program itself: a runtime that imports nothing newer than
#          Windows XP (the posix runtime imports GetTickCount64, Vista only);
#   posix  the test programs: GoogleTest needs std::thread and std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
if(QUELLNET_MINGW_TRIPLE MATCHES "^x86_64")
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
else()
  set(CMAKE_SYSTEM_PROCESSOR i686)
endif()
set(CMAKE_C_COMPILER ${QUELLNET_MINGW_TRIPLE}-gcc-${QUELLNET_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${QUELLNET_MINGW_TRIPLE}-g++-${QUELLNET_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${QUELLNET_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QUELLNET_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
