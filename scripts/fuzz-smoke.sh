#!/usr/bin/env bash
# Builds the libFuzzer target (clang, -m32, AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs it for a bounded time on the seed corpus. Any crash or broken invariant fails the
# run; the input that caused it is left in the build folder (crash-*) for a regression test.
# Usage: scripts/fuzz-smoke.sh [SECONDS]   (default 60; build folder: $FUZZ_BUILD_DIR or build/fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
dir=${FUZZ_BUILD_DIR:-build/fuzz}
cmake --preset fuzz -B "$dir" >/dev/null
cmake --build "$dir" --target qorbvn_fuzz
mkdir -p "$dir/tests/fuzz/corpus"
cd "$dir"
exec bin/qorbvn_fuzz -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
  tests/fuzz/corpus tests/fuzz/seeds
