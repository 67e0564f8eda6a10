# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (posix threads variant, so
# std::thread and std::mutex work). Use: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(YUT_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${YUT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${YUT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${YUT_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${YUT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# GCC 12 reports -Wrestrict for std::string concatenation that it inlines at -O2 (a false
# positive of that compiler, GCC bug 105329); the check is off so that real warnings stand out.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

# Test programs are run under wine when built on Linux.
find_program(YUT_WINE NAMES wine wine64)
if(YUT_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${YUT_WINE})
endif()
