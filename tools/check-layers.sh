#!/usr/bin/env bash
# Fails when a file includes a header of a layer above its own. The layers, bottom up:
# platform, store, protocol, poll, views, screens, tour, app.
set -euo pipefail
export LC_ALL=C
cd "$(dirname "$0")/.."
layers=(platform store protocol poll views screens tour app)
rank() { local i; for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && echo "$i" && return; done; echo -1; }

upward=()
for own in "${layers[@]}"; do
  mine=$(rank "$own")
  while IFS=: read -r file included; do
    [ "$(rank "${included%%/*}")" -gt "$mine" ] && upward+=("$file -> $included")
  done < <(grep -rHoE '^#include "[a-z]+/[^"]+"' "$own" --include='*.cpp' --include='*.h' |
           sed -E 's/#include "([^"]+)"/\1/')
done
if [ ${#upward[@]} -gt 0 ]; then
  echo "Includes that point up a layer:"
  printf '%s\n' "${upward[@]}" | sort
  exit 1
fi
echo "layers: every include points down or across"
