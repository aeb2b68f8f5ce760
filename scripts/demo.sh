#!/usr/bin/env bash
# The demo, end to end: sets the machine up, builds the Linux and the Windows build, and runs
# examples/demo.qsc with qorhost on each (the Windows DLL under Wine), the serial channel on a
# pseudo-terminal pair that socat makes and that is removed afterwards.
# Ends with status 0 only when every expectation of the demo held on both builds.
#
#   scripts/demo.sh [--quiet]      --quiet: print only failures and the summaries
#
# QOR_BUILD_PREFIX (default empty) puts the builds in build/<prefix>linux, build/<prefix>windows.
set -euo pipefail

cd "$(dirname "$0")/.."
root=$PWD
quiet=()
[ "${1:-}" = "--quiet" ] && quiet=(-q)
prefix=${QOR_BUILD_PREFIX:-}
linux_build=$root/build/${prefix}linux
windows_build=$root/build/${prefix}windows
wine_prefix=$windows_build/wineprefix
log=$(mktemp -d "${TMPDIR:-/tmp}/qorbvn-demo.XXXXXX")
trap 'rm -rf "$log"' EXIT

fail() {
  echo
  echo "###########################################################################"
  echo "##  DEMO FAILED: $*"
  echo "###########################################################################"
  exit 1
}
step() { printf '\n==== %s\n' "$*"; }

step "Setting up the machine"
scripts/setup.sh || fail "scripts/setup.sh could not install what the build needs"

for preset in linux windows; do
  dir=$root/build/${prefix}$preset
  step "Building the $preset build in ${dir#$root/}"
  { cmake --preset "$preset" -B "$dir" >"$log/configure-$preset.txt" 2>&1 &&
    cmake --build "$dir"; } || { cat "$log/configure-$preset.txt"; fail "the $preset build did not build"; }
done

run() {  # name, output file, command...
  local name=$1 out=$2
  shift 2
  step "Running examples/demo.qsc on the $name build"
  set +e
  "$@" 2>&1 | tee "$out"
  local status=${PIPESTATUS[0]}
  set -e
  return "$status"
}

linux_status=0
run "Linux" "$log/linux.txt" \
  tools/qorhost/with-pty.sh -- \
  "$linux_build/bin/qorhost" "${quiet[@]}" -D PORT=@PORT@ examples/demo.qsc || linux_status=$?

windows_status=0
run "Windows (QorBVN.dll under Wine)" "$log/windows.txt" \
  tools/qorhost/with-pty.sh --wine-prefix "$wine_prefix" -- \
  cmake/wine-run.sh "$wine_prefix" "$windows_build/bin/qorhost.exe" "${quiet[@]}" -D PORT=@PORT@ examples/demo.qsc \
  || windows_status=$?

verdict() {  # status, output file
  local held
  held=$(grep -Eo 'expectations +[0-9]+ held, [0-9]+ failed' "$2" | tail -n 1 | sed -E 's/ +/ /g')
  if [ "$1" -eq 0 ]; then echo "PASS  ${held:-}"; else echo "FAIL  (exit status $1) ${held:-no summary}"; fi
}
echo
echo "==== QorBVN demo ==============================================================="
echo "  Linux   libqorbvn.so              $(verdict $linux_status "$log/linux.txt")"
echo "  Windows QorBVN.dll under Wine     $(verdict $windows_status "$log/windows.txt")"
echo "================================================================================"
[ $linux_status -eq 0 ] || fail "the demo's expectations did not all hold on the Linux build (see above)"
[ $windows_status -eq 0 ] || fail "the demo's expectations did not all hold on the Windows build (see above)"
echo "The demo passed on both builds."
