# Cross-builds quorvel for 64-bit Windows with Debian's MinGW-w64 compilers.
#
#   cmake -S . -B build-windows \
#       -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The programs are linked statically, so that they need no DLL but the
# system's own. Where Wine is installed it becomes the emulator that CTest
# runs the test programs with (see cmake/wine-run.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(quorvel_mingw x86_64-w64-mingw32)
# The POSIX thread model, which std::thread and std::mutex need with GCC 12.
find_program(CMAKE_C_COMPILER NAMES ${quorvel_mingw}-gcc-posix ${quorvel_mingw}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${quorvel_mingw}-g++-posix ${quorvel_mingw}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${quorvel_mingw}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${quorvel_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(quorvel_wine NAMES wine wine64)
if(quorvel_wine)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
endif()
