# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64), used by
# scripts/build-windows.sh: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake ...
# The POSIX thread model gives std::thread and std::mutex; everything is linked statically,
# so that the programs run from a plain folder. Tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(POMVEX_MINGW_PREFIX x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${POMVEX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${POMVEX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${POMVEX_MINGW_PREFIX}-windres)
# The installer strips the programs with the same binutils.
set(CMAKE_STRIP /usr/bin/${POMVEX_MINGW_PREFIX}-strip CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${POMVEX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(POMVEX_WINE wine)
if(POMVEX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${POMVEX_WINE})
endif()
