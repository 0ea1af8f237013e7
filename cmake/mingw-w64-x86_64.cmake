# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-win --toolchain cmake/mingw-w64-x86_64.cmake
# The posix flavour, whose libstdc++ has std::thread and friends through winpthreads.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(HALTWICK_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${HALTWICK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HALTWICK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${HALTWICK_MINGW_TRIPLET}-windres)

# Libraries and headers from the MinGW tree only; programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${HALTWICK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
