#!/usr/bin/env bash
# Generates the same chunks of the same seed with the chunk tool of each build that exists
# (build/, build-i386/, build-win32/ under wine) and checks their chunk files are byte-identical.
# Usage: compare_chunks.sh [SEED...]   (default: three seeds)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seeds=("$@")
[ ${#seeds[@]} -gt 0 ] || seeds=(20261209 1 -77)

tools=()
[ -x build/tools/chunkgen/kestrova_chunkgen ] && tools+=("linux-x86_64:$root/build/tools/chunkgen/kestrova_chunkgen")
[ -x build-i386/tools/chunkgen/kestrova_chunkgen ] && tools+=("linux-i386:$root/build-i386/tools/chunkgen/kestrova_chunkgen")
[ -f build-win32/tools/chunkgen/kestrova_chunkgen.exe ] && tools+=("win32:$root/build-win32/tools/chunkgen/kestrova_chunkgen.exe")
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
      (cd "$dir" && DISPLAY= wine "$tool" "$seed" >/dev/null)
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
