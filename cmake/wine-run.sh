#!/usr/bin/env bash
# Runs a Windows program under Wine, in a prefix of the build's own made on first use.
# Usage: wine-run.sh PREFIX PROGRAM [ARGS...]
set -eu
prefix=$1
shift
export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    [ -f "$prefix/system.reg" ] || wineboot -i >/dev/null 2>&1
  ) 9>"$prefix.lock"
fi
exec wine "$@"
