# 32-bit Windows with Debian's mingw-w64 (the Windows package). Tests run under wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KESTROVA_MINGW_HOST i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
