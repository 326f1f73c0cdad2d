#!/usr/bin/env bash
# Checks the include rule over src/: a file includes headers of its own layer and the layers
# below, never above, and every project include names its module ("terrain/voxel.h").
# Layers, lowest first: foundation 0; display, sound 1; terrain, world 2; models 3; objects 4; game 5.
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

status=0
while IFS= read -r file; do
  module=${file#src/}
  module=${module%%/*}
  own=$(layer_of "$module")
  if [ -z "$own" ]; then
    echo "check_layers: $file is in src/$module/, which is no known layer"
    status=1
    continue
  fi
  while IFS=: read -r line included; do
    target=${included%%/*}
    if [ "$target" = "$included" ]; then
      echo "check_layers: $file:$line includes \"$included\" without naming its module"
      status=1
      continue
    fi
    theirs=$(layer_of "$target")
    if [ -z "$theirs" ]; then
      echo "check_layers: $file:$line includes \"$included\" from no known layer"
      status=1
    elif [ "$theirs" -gt "$own" ]; then
      echo "check_layers: $file:$line includes \"$included\": $module (layer $own) may not include $target (layer $theirs)"
      status=1
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" | sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/')
done < <(find src -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

if [ "$status" -eq 0 ]; then
  echo "check_layers: every include in src/ keeps to its layer"
fi
exit "$status"
