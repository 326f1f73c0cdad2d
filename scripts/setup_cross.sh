#!/usr/bin/env bash
# Installs what the 32-bit builds need on top of scripts/setup.sh: the i386 multiarch libraries and
# compiler for 32-bit Linux, mingw-w64 and wine (with wine32) for 32-bit Windows, and a source line
# so the Windows libraries can be built from Debian's own source packages. Quick when all are present.
set -euo pipefail

packages=(
  g++-multilib dpkg-dev
  libsdl1.2debian:i386 libogg-dev:i386 libvorbis-dev:i386 libgl-dev:i386 libglu1-mesa-dev:i386
  libgl1-mesa-dri:i386 libglx-mesa0:i386 libfreetype-dev:i386 libgtest-dev:i386
  libasound2:i386 libpulse0:i386 libx11-6:i386 libxext6:i386 libcaca0:i386
  gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix mingw-w64-tools
  wine wine32 zip unzip autoconf automake libtool
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"
  elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then sudo "$@"
  else echo "setup_cross: needs root for: $*"; exit 1
  fi
}

changed=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup_cross: adding the i386 architecture"
  as_root dpkg --add-architecture i386
  changed=1
fi

# A deb-src line beside the existing Debian entries, for `apt-get source`.
src_list=/etc/apt/sources.list.d/kestrova-src.sources
if [ ! -f "$src_list" ]; then
  echo "setup_cross: adding Debian source entries ($src_list)"
  as_root tee "$src_list" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  changed=1
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "$changed" -eq 1 ] || [ ${#missing[@]} -gt 0 ]; then
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup_cross: installing ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
