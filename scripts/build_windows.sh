#!/usr/bin/env bash
# Builds a Windows tree with mingw-w64: the game (with its DLLs), the unit tests and the chunk tool.
# The assets are the Linux build's (the generator makes the same bytes everywhere), so build/ must
# have been built first for a complete game folder.
#   build_windows.sh win32 [--test]   build-win32/, 32-bit: the Windows package; tests under wine
#   build_windows.sh win64 [--test]   build-win64/, 64-bit: the test build for machines where 32-bit
#                                     wine cannot start; tests under wine64
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
arch=${1:-}
case "$arch" in
  win32|win64) ;;
  *) echo "usage: $0 win32|win64 [--test]" >&2; exit 2 ;;
esac
./scripts/setup_cross.sh
. scripts/build_env.sh
prefix=$(./scripts/build_win32_libs.sh "$arch" | tail -n1)
export KESTROVA_WIN32_PREFIX=$prefix

cmake -S . -B "build-$arch" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$arch.cmake" \
  -DKESTROVA_WIN32_PREFIX="$prefix" -DKESTROVA_BENCH=OFF >/dev/null
nice cmake --build "build-$arch" -j "$jobs"

if [ -d build/game/ART ]; then
  for folder in ART SOUND MUSIC OBJECT; do
    mkdir -p "build-$arch/game/$folder"
    cp -r "build/game/$folder/." "build-$arch/game/$folder/"
  done
fi

if [ "${2:-}" = "--test" ]; then
  cache=${KESTROVA_CACHE:-$HOME/.cache/kestrova}
  export WINEDEBUG=-all
  if [ "$arch" = win32 ]; then
    echo "== tests (32-bit Windows build, under wine)"
    export WINEPREFIX=${WINEPREFIX:-$cache/wine}
    wineboot -i >/dev/null 2>&1 || true
  else
    echo "== tests (64-bit Windows build, under wine64)"
    export WINEPREFIX=${WINEPREFIX:-$cache/wine64}
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
  fi
  ctest --test-dir "build-$arch" --output-on-failure
fi
