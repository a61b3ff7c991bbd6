#!/usr/bin/env bash
# Builds every benchmark, runs each one and rewrites the figures table in
# bench/README.md with what they printed. Usage: tools/bench-table.sh [build-dir]
# (default: build, the folder ./run and ./test use).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
readme=bench/README.md

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
mapfile -t benches < <(sed -n 's/^lvxing_add_bench(\(bench_[A-Za-z0-9_]*\).*/\1/p' bench/CMakeLists.txt)
cmake --build "$build" -j2 --target "${benches[@]}"

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"

rows=$(mktemp)
trap 'rm -f "$rows"' EXIT
for bench in "${benches[@]}"; do
  binary=$(find "$build" -type f -name "$bench" -perm -u+x | head -n 1)
  if [ -z "$binary" ]; then
    echo "| \`$bench\` | (not built) | |" >>"$rows"
    continue
  fi
  echo "running $bench" >&2
  if ! output=$("$binary" 2>/dev/null); then
    echo "| \`$bench\` | (failed) | |" >>"$rows"
  fi
  # Each printed line is "<figure> key=value ...": the figure is the text before the
  # first key=value, which may hold spaces ("SetValue x24 batch").
  while IFS= read -r line; do
    [ -z "$line" ] && continue
    figure=$(sed -E 's/ [A-Za-z_]+=.*//' <<<"$line")
    result=${line#"$figure"}
    echo "| \`$bench\` | \`$figure\` | ${result# } |" >>"$rows"
  done <<<"$output"
done

# Everything above the marker line stays; the table below it is made anew.
marker='<!-- figures: written by tools/bench-table.sh, do not edit below -->'
head=$(mktemp)
if [ -f "$readme" ] && grep -qF "$marker" "$readme"; then
  sed "/$(printf '%s' "$marker" | sed 's/[^^]/[&]/g; s/\^/\\^/g')/q" "$readme" >"$head"
else
  cat "$readme" 2>/dev/null >"$head" || true
  echo "$marker" >>"$head"
fi
{
  cat "$head"
  echo
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores ($(uname -m)), build \`$build\`."
  echo
  echo "| benchmark | figure | result |"
  echo "|---|---|---|"
  cat "$rows"
} >"$readme.new"
mv "$readme.new" "$readme"
rm -f "$head"
echo "wrote $readme" >&2
