#!/usr/bin/env bash
# Runs every test of both builds: Linux i386, Linux i386 under the sanitizers, and the
# Windows DLL under Wine. Sets the machine up first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
for preset in linux linux-asan windows; do
  echo "=== $preset"
  cmake --workflow --preset "$preset"
done
