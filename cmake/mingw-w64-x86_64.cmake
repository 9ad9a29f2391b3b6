# Cross build for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64-posix).
# Without Qt, use it with -DCHAIN_PLATFORM_ONLY=ON: it builds the platform layer, its tests
# and the stand-ins. With the Qt that scripts/build-qt-mingw.sh builds, configure through
# that Qt's qt-cmake with -DQT_CHAINLOAD_TOOLCHAIN_FILE=<this file>: it builds everything.
# ctest runs the tests under Wine either way.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes linked in, so the programs (the stand-ins above all, which are copied
# alone into the folders where the real tools would be) run without MinGW's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# ctest runs the Windows test programs through Wine (Debian keeps wine64 off PATH).
find_program(CHAIN_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(CHAIN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CHAIN_WINE})
endif()
