# Cross toolchain for the 32-bit Windows stub (Debian's mingw-w64, win32 thread flavour:
# the stub has no threads, and this flavour pulls in no pthread emulation).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUOX_MINGW_FLAVOUR "win32" CACHE STRING "mingw-w64 thread flavour (win32 or posix)")
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${QUOX_MINGW_FLAVOUR})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${QUOX_MINGW_FLAVOUR})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
