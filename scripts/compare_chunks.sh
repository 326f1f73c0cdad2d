#!/usr/bin/env bash
# Generates the same chunks of the same seed with the chunk tool of each build that exists and can
# run here, and checks their chunk files are byte-identical: build/, build-i386/ (natively, or under
# qemu-i386 where the kernel runs no 32-bit programs), build-win32/ under wine and build-win64/ under
# wine64. A build that exists but cannot run here is named on one line, with the reason.
# Usage: compare_chunks.sh [SEED...]   (default: three seeds)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
. scripts/cross_probe.sh
seeds=("$@")
[ ${#seeds[@]} -gt 0 ] || seeds=(20261209 1 -77)

tools=()
[ -x build/tools/chunkgen/kestrova_chunkgen ] && tools+=("linux-x86_64:$root/build/tools/chunkgen/kestrova_chunkgen")
if [ -x build-i386/tools/chunkgen/kestrova_chunkgen ]; then
  tools+=("linux-i386:$root/build-i386/tools/chunkgen/kestrova_chunkgen")
  [ "$(kestrova_i386_mode)" = native ] ||
    echo "compare_chunks: the i386 chunk tool runs under qemu-i386 (this kernel runs no 32-bit programs)"
fi
if [ -f build-win32/tools/chunkgen/kestrova_chunkgen.exe ]; then
  if kestrova_wine32_runs; then
    tools+=("win32:$root/build-win32/tools/chunkgen/kestrova_chunkgen.exe")
  else
    echo "compare_chunks: skipped the 32-bit Windows chunk tool: 32-bit wine cannot start on this kernel"
  fi
fi
if [ -f build-win64/tools/chunkgen/kestrova_chunkgen.exe ] && [ -x /usr/lib/wine/wine64 ]; then
  tools+=("win64:$root/build-win64/tools/chunkgen/kestrova_chunkgen.exe")
fi
if [ ${#tools[@]} -lt 2 ]; then
  echo "compare_chunks: fewer than two builds have the chunk tool; build them first"
  exit 1
fi

export WINEPREFIX=${WINEPREFIX:-${KESTROVA_CACHE:-$HOME/.cache/kestrova}/wine} WINEDEBUG=-all
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrova-chunks.XXXXXX")
trap 'rm -rf "$work"' EXIT
status=0
for seed in "${seeds[@]}"; do
  reference=""
  for entry in "${tools[@]}"; do
    name=${entry%%:*}
    tool=${entry#*:}
    dir="$work/$seed/$name"
    mkdir -p "$dir/WORLDS/DEZORE"
    if [[ "$tool" == *.exe ]]; then
      loader=$(kestrova_wine_loader "$tool")
      prefix=$WINEPREFIX
      [ "$name" = win64 ] && prefix=${KESTROVA_CACHE:-$HOME/.cache/kestrova}/wine64
      (cd "$dir" && DISPLAY= WINEPREFIX=$prefix "$loader" "$tool" "$seed" >/dev/null)
    elif [ "$name" = linux-i386 ]; then
      (cd "$dir" && "$root/scripts/run_i386.sh" "$tool" "$seed" >/dev/null)
    else
      (cd "$dir" && "$tool" "$seed" >/dev/null)
    fi
    count=$(find "$dir/WORLDS/DEZORE" -name '*.DAT' | wc -l)
    [ "$count" -gt 0 ] || { echo "compare_chunks: $name wrote no chunk file for seed $seed"; status=1; continue; }
    if [ -z "$reference" ]; then
      reference=$name
    elif ! diff -r "$work/$seed/$reference/WORLDS" "$dir/WORLDS" >/dev/null; then
      echo "compare_chunks: seed $seed: $name differs from $reference:"
      for f in "$work/$seed/$reference/WORLDS/DEZORE"/*; do
        cmp "$f" "$dir/WORLDS/DEZORE/$(basename "$f")" || true
      done
      status=1
    fi
  done
  [ "$status" -ne 0 ] || echo "compare_chunks: seed $seed: $count chunk files identical in ${#tools[@]} builds"
done
exit "$status"
