#!/usr/bin/env bash
# Builds SDL 1.2, libogg and libvorbis for Windows from Debian's source packages, once: the result
# is cached and reused until this script or a package version changes. Prints the install prefix on
# its last line.
#   build_win32_libs.sh [win32|win64]   32-bit (i686-w64-mingw32, the default) or 64-bit
#                                       (x86_64-w64-mingw32, the test build where wine32 cannot start)
#   KESTROVA_CACHE  cache folder (default: $HOME/.cache/kestrova)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${KESTROVA_CACHE:-$HOME/.cache/kestrova}
case "${1:-win32}" in
  win32) host=i686-w64-mingw32; prefix=$cache/win32 ;;
  win64) host=x86_64-w64-mingw32; prefix=$cache/win64 ;;
  *) echo "usage: $0 [win32|win64]" >&2; exit 2 ;;
esac
jobs=$(nproc)

# The cache key: the source versions Debian offers and this script itself.
versions=$(apt-cache showsrc libsdl1.2 libogg libvorbis 2>/dev/null | awk '/^Package:/{p=$2} /^Version:/{print p"="$2}' | sort -u | tr '\n' ' ')
key="$versions $(sha256sum "$0" | cut -c1-16)"
if [ -f "$prefix/.stamp" ] && [ "$(cat "$prefix/.stamp")" = "$key" ]; then
  echo "$prefix"
  exit 0
fi

echo "build_win32_libs: building SDL 1.2, libogg and libvorbis for $host into $prefix" >&2
start=$(date +%s)
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrova-win32-libs.XXXXXX")
trap 'rm -rf "$work"' EXIT
rm -rf "$prefix"
mkdir -p "$prefix"

cd "$work"
# Debian's sources, with Debian's patches applied by dpkg-source.
apt-get source -qq libsdl1.2 libogg libvorbis >apt-source.log 2>&1 || { cat apt-source.log >&2; exit 1; }
sdl=$(find . -maxdepth 1 -type d -name 'libsdl1.2-*' | head -n1)
ogg=$(find . -maxdepth 1 -type d -name 'libogg-*' | head -n1)
vorbis=$(find . -maxdepth 1 -type d -name 'libvorbis-*' | head -n1)

build() {  # folder, configure arguments...
  local dir=$1; shift
  echo "build_win32_libs: $dir" >&2
  (cd "$dir" && ./configure --host=$host --build="$(gcc -dumpmachine)" --prefix="$prefix" \
      --enable-shared --disable-static "$@" >configure.log 2>&1 || { tail -n 40 configure.log >&2; exit 1; }
   nice make -j"$jobs" >make.log 2>&1 || { tail -n 60 make.log >&2; exit 1; }
   make install >install.log 2>&1 || { tail -n 40 install.log >&2; exit 1; })
}

export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig
export PKG_CONFIG_PATH=
build "$ogg"
build "$vorbis" --with-ogg="$prefix" --disable-docs --disable-examples --disable-oggtest
# The game writes its own log; SDL's stdout.txt redirection is left out.
build "$sdl" --disable-stdio-redirect --disable-nasm --enable-directx

echo "$key" >"$prefix/.stamp"
echo "build_win32_libs: done in $(( $(date +%s) - start )) s" >&2
echo "$prefix"
