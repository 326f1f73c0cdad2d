#!/usr/bin/env bash
# Installs what is missing, builds Release, assembles build/game/ with its assets and starts the game.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/setup.sh
. scripts/build_env.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc)"

cd build/game
if [ -z "${DISPLAY:-}" ]; then
  echo "run: no display found, so the game runs under xvfb-run (an invisible X server)"
  exec xvfb-run -a -s "-screen 0 1024x768x24" ./kestrova
fi
exec ./kestrova
