#!/usr/bin/env bash
# Installs the Debian packages kestrova needs to build, test and run. Quick when all are present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config python3
  libsdl1.2-dev libogg-dev libvorbis-dev libgl1-mesa-dev libglu1-mesa-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  libfreetype-dev fonts-dejavu-core
  xvfb xauth xdotool imagemagick x11-utils ccache
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq || echo "setup: apt-get update reported errors; installing from the package lists it has"
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  sudo DEBIAN_FRONTEND=noninteractive apt-get update -qq ||
    echo "setup: apt-get update reported errors; installing from the package lists it has"
  sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "setup: these packages are missing; install them with:"
  echo "  sudo apt-get install ${missing[*]}"
  exit 1
fi
