#!/usr/bin/env bash
# Builds the 32-bit Windows tree in build-win32/ (the Windows package's). With --test also runs the
# Windows unit tests that need no window: under 32-bit wine where it starts; where it cannot (a
# kernel that runs no 32-bit programs, or KESTROVA_NO_32BIT=1), the same tests run in the 64-bit
# Windows build (build-win64/) under wine64 instead, and this says so.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build_windows.sh win32
if [ "${1:-}" = "--test" ]; then
  . scripts/cross_probe.sh
  if kestrova_wine32_runs; then
    ./scripts/build_windows.sh win32 --test
  else
    echo "build_win32: 32-bit wine cannot start here (this kernel runs no 32-bit programs);" \
      "the Windows unit tests run in the 64-bit Windows build under wine64"
    ./scripts/build_windows.sh win64 --test
  fi
fi
