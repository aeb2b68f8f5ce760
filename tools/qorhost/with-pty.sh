#!/usr/bin/env bash
# Runs a command with a pseudo-terminal pair made by socat, and removes the pair afterwards.
# Every @PORT@ in the command's arguments becomes the device name of one end of the pair:
# its /dev/pts/N path, or with --wine-prefix a COM port of that Wine prefix mapped onto it
# (a comN link in the prefix's dosdevices; Wine knows COM1 to COM9 only).
#
#   with-pty.sh [--wine-prefix DIR] -- COMMAND [ARGS...]
#
# The exit status is the command's; 125 when the pair could not be made.
set -euo pipefail

wine_prefix=
while [ $# -gt 0 ]; do
  case $1 in
    --wine-prefix) wine_prefix=$2; shift 2 ;;
    --) shift; break ;;
    *) echo "with-pty.sh: unknown option $1" >&2; exit 125 ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: with-pty.sh [--wine-prefix DIR] -- COMMAND [ARGS...]" >&2; exit 125; }
command -v socat >/dev/null || { echo "with-pty.sh: socat is needed (scripts/setup.sh installs it)" >&2; exit 125; }

work=$(mktemp -d "${TMPDIR:-/tmp}/qorhost-pty.XXXXXX")
socat_pid=
com_link=
cleanup() {
  if [ -n "$com_link" ]; then
    # The prefix's Wine server took the pseudo-terminal as its controlling terminal when it
    # opened the port: removing the pair under it would hang it up (and make it dump its
    # state into our output). It ends a moment after its last program.
    WINEPREFIX=$wine_prefix timeout 120 wineserver -w 2>/dev/null || true
    rm -f "$com_link"
  fi
  if [ -n "$socat_pid" ]; then kill "$socat_pid" 2>/dev/null || true; wait "$socat_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

socat pty,raw,echo=0,link="$work/bench" pty,raw,echo=0,link="$work/peer" 2>"$work/socat.log" &
socat_pid=$!
for _ in $(seq 50); do
  [ -e "$work/bench" ] && [ -e "$work/peer" ] && break
  sleep 0.1
done
if [ ! -e "$work/bench" ]; then
  echo "with-pty.sh: socat made no pseudo-terminal:" >&2; cat "$work/socat.log" >&2; exit 125
fi
port=$(readlink -f "$work/bench")

if [ -n "$wine_prefix" ]; then
  # The prefix is made on first use by the command's own runner; the links live beside it.
  if [ ! -d "$wine_prefix/dosdevices" ]; then
    "$@" --version >/dev/null 2>&1 || true
  fi
  [ -d "$wine_prefix/dosdevices" ] || { echo "with-pty.sh: no Wine prefix at $wine_prefix" >&2; exit 125; }
  # Claim a free COM number: ln fails when another run holds it. A link whose device has
  # gone is left over from an interrupted run and is taken back.
  for n in 9 8 7 6 5; do
    link="$wine_prefix/dosdevices/com$n"
    if [ -L "$link" ] && [ ! -e "$link" ]; then rm -f "$link"; fi
    if ln -s "$port" "$link" 2>/dev/null; then com_link=$link; port=COM$n; break; fi
  done
  [ -n "$com_link" ] || { echo "with-pty.sh: COM5 to COM9 are all taken in $wine_prefix" >&2; exit 125; }
fi

args=()
for arg in "$@"; do args+=("${arg//@PORT@/$port}"); done
echo "with-pty.sh: pseudo-terminal $(readlink -f "$work/bench") as $port"
set +e
"${args[@]}"
status=$?
set -e
exit $status
