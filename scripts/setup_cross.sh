#!/usr/bin/env bash
# Installs what the 32-bit builds need on top of scripts/setup.sh: the i386 multiarch libraries and
# compiler for 32-bit Linux (and qemu-i386 for kernels that run no 32-bit programs), mingw-w64 and
# wine (wine32, and wine64 with the 64-bit mingw-w64 for machines where wine32 cannot start) for
# Windows, and a source line
# so the Windows libraries can be built from Debian's own source packages. Quick when all are present.
set -euo pipefail

packages=(
  g++-multilib dpkg-dev
  libsdl1.2debian:i386 libogg-dev:i386 libvorbis-dev:i386 libgl-dev:i386 libglu1-mesa-dev:i386
  libgl1-mesa-dri:i386 libglx-mesa0:i386 libfreetype-dev:i386 libgtest-dev:i386
  libasound2:i386 libpulse0:i386 libx11-6:i386 libxext6:i386 libcaca0:i386
  gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix mingw-w64-tools
  wine wine32 zip unzip autoconf automake libtool
  qemu-user wine64 gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix
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
  # A mirror in mid-sync can fail one index; the lists that did arrive are still good to install from.
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq ||
    echo "setup_cross: apt-get update reported errors; installing from the package lists it has"
fi
# A 64-bit library and its i386 twin must have the same version. When the mirror's i386 lists lag
# behind the 64-bit ones (one security index failed to download, say), some installed 64-bit
# libraries are newer than any i386 build apt knows of: those are stepped back to the version both
# architectures have, and the rest comes from the release itself rather than its updates.
aligned_versions() {
  local lists
  lists=$(mktemp)
  apt-get indextargets --format '$(FILENAME)' 'Created-By: Packages' 'Architecture: i386' |
    while read -r f; do [ -f "$f" ] && /usr/lib/apt/apt-helper cat-file "$f"; done |
    awk '/^Package:/ {p = $2} /^Version:/ {print p, $2}' >"$lists"
  dpkg-query -W -f='${Package} ${Architecture} ${Version} ${Multi-Arch}\n' |
    awk '$2 == "amd64" && $4 == "same" {print $1, $3}' |
    while read -r package installed; do
      newest=$(awk -v p="$package" '$1 == p {print $2}' "$lists" | sort -V | tail -n1)
      [ -n "$newest" ] || continue
      if ! awk -v p="$package" -v v="$installed" '$1 == p && $2 == v {found = 1} END {exit !found}' "$lists" &&
         dpkg --compare-versions "$installed" gt "$newest"; then
        echo "$package:amd64=$newest"
      fi
    done
  rm -f "$lists"
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup_cross: installing ${missing[*]}"
  if ! as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
    release=$(. /etc/os-release && echo "$VERSION_CODENAME")
    mapfile -t downgrades < <(aligned_versions)
    echo "setup_cross: the i386 package lists do not match the installed 64-bit libraries;" \
      "retrying from $release${downgrades[*]:+ with ${downgrades[*]}}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      -t "$release" --allow-downgrades "${downgrades[@]}" "${missing[@]}"
  fi
fi
