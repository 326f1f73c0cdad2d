#!/usr/bin/env bash
# Builds the three deliverables and packs each as a ready game folder:
#   dist/kestrova-linux-x86_64.tar.gz   64-bit Linux
#   dist/kestrova-linux-i386.tar.gz     32-bit Linux
#   dist/kestrova-win32.zip             32-bit Windows (with its DLLs)
# Each holds the game, SETUP.TXT, README.TXT and the ART, SOUND, MUSIC and OBJECT folders. The Linux
# ones start with ./kestrova, which runs bin/kestrova on the libraries shipped in lib/ (SDL, Ogg,
# Vorbis and the sound libraries SDL pulls in); the C library, OpenGL, X11 and ALSA are the system's.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
./scripts/setup.sh
. scripts/build_env.sh
. scripts/cross_probe.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
nice cmake --build build -j "$jobs" --target game_folder kestrova_chunkgen
./scripts/build_i386.sh
./scripts/build_win32.sh

mkdir -p dist
stage=$(mktemp -d "${TMPDIR:-/tmp}/kestrova-package.XXXXXX")
trap 'rm -rf "$stage"' EXIT

# The folders every package shares, from a game folder (never its WORLDS or LOGFILE.TXT).
copy_game_data() {  # from, to
  mkdir -p "$2"
  for folder in ART SOUND MUSIC OBJECT; do cp -r "$1/$folder" "$2/"; done
  cp assets/SETUP.TXT "$2/SETUP.TXT"
  cp assets/README.TXT "$2/README.TXT"
}

# Libraries a Linux desktop has anyway (C library, OpenGL and its driver, X11, ALSA, D-Bus and the
# base system), never shipped; every other library the game loads goes into lib/.
system_library() {
  case "$1" in
    linux-vdso.so*|linux-gate.so*|ld-linux*|libc.so*|libm.so*|libdl.so*|libpthread.so*|librt.so*) return 0 ;;
    libGL.so*|libGLX.so*|libGLdispatch.so*|libOpenGL.so*|libEGL.so*) return 0 ;;
    libX11.so*|libX11-xcb.so*|libxcb.so*|libXau.so*|libXdmcp.so*|libXext.so*|libasound.so*) return 0 ;;
    libdbus-1.so*|libsystemd.so*|libz.so*|libgcrypt.so*|libgpg-error.so*|liblzma.so*|libzstd.so*) return 0 ;;
    liblz4.so*|libcap.so*|libbsd.so*|libmd.so*|libtinfo.so*|libncursesw.so*|libstdc++.so*|libgcc_s.so*) return 0 ;;
  esac
  return 1
}

pack_linux() {  # build folder, package name
  local build=$1 name=$2 root="$stage/$2"
  copy_game_data build/game "$root"
  mkdir -p "$root/bin" "$root/lib"
  cp "$build/game/kestrova" "$root/bin/kestrova"
  strip "$root/bin/kestrova"
  # A 32-bit game on a kernel that runs no 32-bit programs is listed by the i386 loader under qemu.
  local list=(ldd "$build/game/kestrova")
  if [ "$(od -An -t u1 -j 4 -N 1 "$build/game/kestrova" | tr -d ' ')" = 1 ] && [ "$(kestrova_i386_mode)" != native ]; then
    list=(qemu-i386 -L / /lib/ld-linux.so.2 --list "$build/game/kestrova")
  fi
  "${list[@]}" | awk '$2 == "=>" && $3 ~ /^\// {print $1, $3}' | while read -r soname path; do
    system_library "$soname" || cp -L "$path" "$root/lib/$soname"
  done
  cat >"$root/kestrova" <<'LAUNCH'
#!/bin/sh
# Starts the game from its own folder (it reads and writes beside itself) on the shipped libraries.
here=$(cd "$(dirname "$0")" && pwd)
cd "$here" || exit 1
LD_LIBRARY_PATH="$here/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" exec "$here/bin/kestrova" "$@"
LAUNCH
  chmod +x "$root/kestrova"
  rm -f "dist/$name.tar.gz"
  tar -C "$stage" --sort=name --owner=0 --group=0 --numeric-owner --mtime=@0 -czf "dist/$name.tar.gz" "$name"
  echo "package: dist/$name.tar.gz ($(du -h "dist/$name.tar.gz" | cut -f1))"
}

pack_windows() {
  local name=kestrova-win32 root="$stage/kestrova-win32"
  copy_game_data build/game "$root"
  cp build-win32/game/kestrova.exe "$root/"
  i686-w64-mingw32-strip "$root/kestrova.exe"
  # The DLLs the game loads, followed through each other (the system's own are not shipped).
  local queue=("$root/kestrova.exe") dll
  while [ ${#queue[@]} -gt 0 ]; do
    for dll in $(i686-w64-mingw32-objdump -p "${queue[0]}" | awk '/DLL Name:/ {print $3}'); do
      if [ -f "build-win32/game/$dll" ] && [ ! -f "$root/$dll" ]; then
        cp "build-win32/game/$dll" "$root/"
        i686-w64-mingw32-strip --strip-unneeded "$root/$dll"
        queue+=("$root/$dll")
      fi
    done
    queue=("${queue[@]:1}")
  done
  # Windows text files: CR LF line ends.
  for text in SETUP.TXT README.TXT; do sed -i 's/\r*$/\r/' "$root/$text"; done
  rm -f "dist/$name.zip"
  (cd "$stage" && find "$name" -exec touch -h -d @315532800 {} + && find "$name" | LC_ALL=C sort | zip -q -X -@ "$OLDPWD/dist/$name.zip")
  echo "package: dist/$name.zip ($(du -h "dist/$name.zip" | cut -f1))"
}

# The same seed must make the same world in all three.
./scripts/compare_chunks.sh 20261209 >/dev/null || { echo "package: the builds make different worlds"; exit 1; }

pack_linux build kestrova-linux-x86_64
pack_linux build-i386 kestrova-linux-i386
pack_windows
