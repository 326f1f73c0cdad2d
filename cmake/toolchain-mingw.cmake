# What both Windows toolchains share, for the mingw-w64 host named in KESTROVA_MINGW_HOST: Debian's
# posix-thread compilers, SSE2 maths (the same floating point as the Linux builds), the C and C++
# runtimes inside the executables (only the thread library stays a DLL), and SDL 1.2, libogg and
# libvorbis from the prefix scripts/build_win32_libs.sh builds (passed as KESTROVA_WIN32_PREFIX).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KESTROVA_MINGW_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTROVA_MINGW_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTROVA_MINGW_HOST}-windres)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

if(NOT KESTROVA_WIN32_PREFIX)
  set(KESTROVA_WIN32_PREFIX "$ENV{KESTROVA_WIN32_PREFIX}")
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${KESTROVA_MINGW_HOST} ${KESTROVA_WIN32_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} "${KESTROVA_WIN32_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
