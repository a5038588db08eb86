# Cross-builds for 64-bit Windows with Debian's mingw-w64 (the POSIX thread
# model, so std::thread works). Programs and libraries are looked up in the
# mingw sysroot; build tools still come from the host.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
# Qt for Windows, built by scripts/windows-qt, is another root to look in.
if(TOVANE_WINDOWS_QT)
    list(APPEND CMAKE_FIND_ROOT_PATH ${TOVANE_WINDOWS_QT})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and tools built for Windows run under Wine on this machine.
find_program(TOVANE_WINE wine)
if(TOVANE_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TOVANE_WINE})
endif()
