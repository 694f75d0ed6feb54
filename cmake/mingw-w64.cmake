# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the posix-thread
# compilers, which have std::thread and std::mutex) and runs what it builds
# through Wine. The libraries without a MinGW package are looked for in
# QUILLMERE_WINDOWS_PREFIX, which scripts/build-windows-deps.sh fills:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#         -DQUILLMERE_WINDOWS_PREFIX=$PWD/build-windows/prefix
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# The prefix is given once on the command line or in the environment; the
# try_compile projects CMake runs read this file again and get it passed on.
if(NOT QUILLMERE_WINDOWS_PREFIX AND DEFINED ENV{QUILLMERE_WINDOWS_PREFIX})
    set(QUILLMERE_WINDOWS_PREFIX "$ENV{QUILLMERE_WINDOWS_PREFIX}")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUILLMERE_WINDOWS_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${QUILLMERE_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest and gtest discovery run each .exe through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
