#!/usr/bin/env bash
# Builds the 32-bit Windows tree in build-win32/ with mingw-w64: the game (with its DLLs), the unit
# tests and the chunk tool. The assets are the Linux build's (the generator makes the same bytes
# everywhere), so build/ must have been built first for a complete game folder.
#   --test   also runs the unit tests that need no window under wine
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
./scripts/setup_cross.sh
prefix=$(./scripts/build_win32_libs.sh | tail -n1)
export KESTROVA_WIN32_PREFIX=$prefix

cmake -S . -B build-win32 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-win32.cmake \
  -DKESTROVA_WIN32_PREFIX="$prefix" -DKESTROVA_BENCH=OFF >/dev/null
nice cmake --build build-win32 -j "$jobs"

if [ -d build/game/ART ]; then
  for folder in ART SOUND MUSIC OBJECT; do
    mkdir -p build-win32/game/$folder
    cp -r build/game/$folder/. build-win32/game/$folder/
  done
fi

if [ "${1:-}" = "--test" ]; then
  echo "== tests (32-bit Windows build, under wine)"
  export WINEPREFIX=${WINEPREFIX:-${KESTROVA_CACHE:-$HOME/.cache/kestrova}/wine}
  export WINEDEBUG=-all
  wineboot -i >/dev/null 2>&1 || true
  ctest --test-dir build-win32 --output-on-failure
fi
