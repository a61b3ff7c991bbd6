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
share=$((100 * tests / code))
echo "Test share: $tests lines of tests against $code lines of code ($share %, limit 33 %)"
if [ "${1:-}" = --check ] && [ "$share" -gt 33 ]; then
  exit 1
fi
