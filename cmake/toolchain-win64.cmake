# 64-bit Windows with Debian's mingw-w64: the test build for machines where 32-bit wine cannot start
# (a kernel without 32-bit support); it runs the same unit tests and the game under wine64, with
# the libraries `scripts/build_win32_libs.sh win64` builds.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KESTROVA_MINGW_HOST x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
