# Cross-build for 64-bit Windows with Debian's MinGW-w64 compilers (the "win32"
# thread model: no C++ thread library; the window layer uses Win32 threads).
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# Programs are linked statically, so they need nothing beyond the DLLs that come
# with Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(WL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${WL_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${WL_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${WL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${WL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
