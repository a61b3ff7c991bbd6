#!/usr/bin/env bash
# Prints the size of the test suite against the product code, as non-blank,
# non-comment C/C++ lines of tracked files, and the share. The house limit is
# a third; with --check the script fails above it.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
  git ls-files -- "$@" | grep -E '\.(cpp|h|hpp|cc)$' | xargs -r cat |
    grep -c -v -E '^\s*(//.*)?$' || true
}
tests=$(count tests)
code=$(count app store protocol poll screens views platform tour tools)
share=$(awk -v t="$tests" -v c="$code" 'BEGIN { printf "%.1f", 100 * t / c }')
echo "Test share: $tests lines of tests against $code lines of code ($share %, limit a third)"
if [ "${1:-}" = --check ] && [ $((3 * tests)) -gt "$code" ]; then
  exit 1
fi
