#!/usr/bin/env bash
# Reproduces every figure of docs/performance.md: builds the bench preset (Linux i386,
# Release) and the Windows DLL, runs the gate and serial benchmarks, callgrind and strace,
# and the stack report, and prints them all as Markdown. Takes a few minutes.
# Usage: bench/run.sh [BUILD_DIR]   (default build/bench; the DLL goes to BUILD_DIR-dll)
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build/bench}
dir=${dir%/}
cmake --preset bench -B "$dir" >/dev/null
cmake --build "$dir" --target bench >/dev/null
cmake --preset windows -B "$dir-dll" -DQOR_TESTS=OFF >/dev/null
cmake --build "$dir-dll" --target QorBVN >/dev/null
exec python3 bench/report.py "$dir" "$dir-dll"
