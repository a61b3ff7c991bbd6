#!/bin/sh
# Builds the answer-decoding fuzzer with clang and runs it for a while.
# Usage: tools/fuzz-protocol.sh [seconds]   (default 120)
# Environment: LVXING_FUZZ_BUILD (build folder, default build-fuzz), FUZZ_JOBS (default 1),
# LVXING_FUZZ_CMAKE_ARGS (extra configure arguments).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-120}
build=${LVXING_FUZZ_BUILD:-$root/build-fuzz}
sanitizers="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer"

cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS="$sanitizers" \
    -DLVXING_FUZZ=ON -DLVXING_BUILD_BENCH=OFF ${LVXING_FUZZ_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" --target fuzz_protocol -j2

# The seeds (the fuzzer's own and the saved hostile answers, which tst_HostileAnswers replays
# in every build) stay untouched; what the fuzzer finds goes to the build folder.
corpus="$build/fuzz-corpus"
artifacts="$build/fuzz-artifacts"
mkdir -p "$corpus" "$artifacts"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
# With FUZZ_JOBS above 1 libFuzzer writes one fuzz-<n>.log per job into the build folder.
jobs=""
[ "${FUZZ_JOBS:-1}" -gt 1 ] && jobs="-jobs=$FUZZ_JOBS -workers=$FUZZ_JOBS"
cd "$build"
"$build/tests/fuzz/fuzz_protocol" -max_total_time="$seconds" -max_len=65536 \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 $jobs \
    -artifact_prefix="$artifacts/" "$corpus" "$root/tests/fuzz/corpus" \
    "$root/tests/data/hostile-answers"
