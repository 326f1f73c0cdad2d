#!/usr/bin/env bash
# Checks the include rule: a file includes headers of its own layer and the layers below, never
# above, and every project include names its module ("terrain/voxel.h"). Both quoted and <...>
# includes are read; a <...> include whose first folder is a layer is a project header too.
# Layers, lowest first: foundation 0; display, sound 1; terrain, world 2; models 3; objects 4; game 5.
# Outside src/ each folder has the highest layer it may use:
#   tools/assetgen  0  links no game code: only header-only helpers of foundation (vecmath)
#   tools/chunkgen  2  generates and saves chunks: terrain and world
#   tools/modelview 3  shows a model: models and what they stand on
#   bench, tests    5  link kestrova_core and drive any module, the game shell included
# There, includes without a folder ("assetgen.h", "test_util.h") are the folder's own headers.
set -euo pipefail
cd "$(dirname "$0")/.."

layer_of() {
  case "$1" in
    foundation) echo 0 ;;
    display | sound) echo 1 ;;
    terrain | world) echo 2 ;;
    models) echo 3 ;;
    objects) echo 4 ;;
    game) echo 5 ;;
    *) echo "" ;;
  esac
}

ceiling_of() {
  case "$1" in
    tools/assetgen/*) echo 0 ;;
    tools/chunkgen/*) echo 2 ;;
    tools/modelview/*) echo 3 ;;
    bench/* | tests/*) echo 5 ;;
    *) echo "" ;;
  esac
}

# Prints "line:<name" or "line:\"name" for every include of $1.
includes_of() {
  grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' "$1" |
    sed 's/^\([0-9]*\):[^"<]*\([<"]\)\([^">]*\)[">].*/\1:\2\3/' || true
}

status=0
fail() {
  echo "check_layers: $*"
  status=1
}

check_file() {
  local file=$1 in_src=$2 own=$3 name=$4 line entry delimiter included target theirs
  while IFS=: read -r line entry; do
    [ -n "$line" ] || continue
    delimiter=${entry:0:1}
    included=${entry:1}
    target=${included%%/*}
    theirs=""
    [ "$target" != "$included" ] && theirs=$(layer_of "$target")
    if [ "$delimiter" = "<" ]; then
      # System and library headers (<cstdio>, <sys/stat.h>, <GL/gl.h>) are not ours.
      [ -n "$theirs" ] || continue
      fail "$file:$line includes <$included>: project headers are included with quotes"
    elif [ -z "$theirs" ]; then
      if [ "$in_src" = 1 ]; then
        if [ "$target" = "$included" ]; then
          fail "$file:$line includes \"$included\" without naming its module"
        else
          fail "$file:$line includes \"$included\" from no known layer"
        fi
      fi
      continue
    fi
    if [ "$theirs" -gt "$own" ]; then
      fail "$file:$line includes $included: $name (layer $own) may not include $target (layer $theirs)"
    fi
  done < <(includes_of "$file")
}

while IFS= read -r file; do
  module=${file#src/}
  module=${module%%/*}
  own=$(layer_of "$module")
  if [ -z "$own" ]; then
    fail "$file is in src/$module/, which is no known layer"
    continue
  fi
  check_file "$file" 1 "$own" "$module"
done < <(find src -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

while IFS= read -r file; do
  own=$(ceiling_of "$file")
  folder=${file%/*}
  if [ -z "$own" ]; then
    fail "$file is in $folder/, which has no layer chosen in this script"
    continue
  fi
  check_file "$file" 0 "$own" "$folder"
done < <(find tools bench tests -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.c' \) 2>/dev/null | sort)

if [ "$status" -eq 0 ]; then
  echo "check_layers: every include in src/, tools/, bench/ and tests/ keeps to its layer"
fi
exit "$status"
