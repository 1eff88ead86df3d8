# Cross build for 64-bit Windows with Debian's mingw-w64 toolchain (the
# posix thread flavour, which std::thread needs):
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAZU_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAZU_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAZU_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TAZU_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TAZU_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# GCC does not align the stack to 32 bytes for AVX values on Windows, so
# the assembler turns every aligned vector move into an unaligned one.
set(CMAKE_C_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")
set(CMAKE_CXX_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")

# Programs that run under wine on the build machine.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
