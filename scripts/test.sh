#!/usr/bin/env bash
# Runs every test of both builds: Linux i386, Linux i386 under the sanitizers, a bounded
# fuzzing run, and the Windows DLL under Wine. Sets the machine up first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
for preset in linux linux-asan; do
  echo "=== $preset"
  cmake --workflow --preset "$preset"
done
echo "=== fuzz (60 s)"
scripts/fuzz-smoke.sh 60
echo "=== windows (the ZIP package, then every test under Wine)"
cmake --preset windows
cmake --build build/windows --target package
cmake --workflow --preset windows
