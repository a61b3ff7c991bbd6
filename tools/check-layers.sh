#!/usr/bin/env bash
# Fails when a file includes a header of a layer above its own. The layers, bottom up:
# platform, store, protocol, poll, views, screens, tour, app. Upward includes that are
# still being taken apart are listed in tools/layer-exceptions.txt; the list only shrinks:
# a listed include that is gone fails the check too, so its line is removed with it.
set -euo pipefail
export LC_ALL=C
cd "$(dirname "$0")/.."
layers=(platform store protocol poll views screens tour app)
rank() { local i; for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && echo "$i" && return; done; echo -1; }

found=$(mktemp)
trap 'rm -f "$found"' EXIT
for own in "${layers[@]}"; do
  mine=$(rank "$own")
  while IFS=: read -r file included; do
    target=${included%%/*}
    theirs=$(rank "$target")
    [ "$theirs" -gt "$mine" ] && echo "$file -> $included" >>"$found"
  done < <(grep -rHoE '^#include "[a-z]+/[^"]+"' "$own" --include='*.cpp' --include='*.h' |
           sed -E 's/#include "([^"]+)"/\1/')
done
sort -o "$found" "$found"
allowed=tools/layer-exceptions.txt
new=$(comm -23 "$found" <(grep -v '^#' "$allowed" | sort))
gone=$(comm -13 "$found" <(grep -v '^#' "$allowed" | sort))
status=0
if [ -n "$new" ]; then
  echo "Includes that point up a layer:"; echo "$new"; status=1
fi
if [ -n "$gone" ]; then
  echo "Listed in $allowed but no longer there (remove the lines):"; echo "$gone"; status=1
fi
[ $status -eq 0 ] && echo "layers: $(wc -l <"$found") upward includes left, all listed"
exit $status
