#!/usr/bin/env bash
# Stack each request handler needs: builds the driver's objects with GCC's -fstack-usage and
# -fcallgraph-info=su at the linux preset's optimisation, then walks the call graph from
# QorMain. Prints a table; exits non-zero when a request needs more than 512 bytes.
# Usage: bench/stack_usage.sh [BUILD_DIR [PRESET]]   (default build/stack, linux; or windows)
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build/stack}
preset=${2:-linux}
flags="-fstack-usage -fcallgraph-info=su"
[ "$preset" = linux ] && flags="-m32 $flags"
cmake --preset "$preset" -B "$dir" -DQOR_TESTS=OFF -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build "$dir" --target qorbvn_core >/dev/null
exec python3 bench/stack_usage.py "$dir"
