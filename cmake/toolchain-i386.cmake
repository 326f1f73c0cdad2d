# 32-bit x86 Linux with Debian's multiarch libraries (scripts/setup_cross.sh installs them).
# SSE2 maths, so floating point takes the same paths as the 64-bit build and worlds match.
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KESTROVA_TARGET_I386 ON)

# pkg-config sees only the i386 libraries, plus the folder where scripts/build_i386.sh describes
# SDL (whose -dev package cannot be installed beside the 64-bit one).
set(ENV{PKG_CONFIG_LIBDIR} "$ENV{KESTROVA_I386_PKGCONFIG}:/usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# Tests run through a wrapper that runs them natively where the kernel runs 32-bit programs and
# under qemu-i386 where it does not; nothing built here runs while building.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/run_i386.sh)
