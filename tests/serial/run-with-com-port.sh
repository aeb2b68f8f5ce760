#!/usr/bin/env bash
# Links a COM port of a Wine prefix to one end of a socat pseudo-terminal pair, runs a
# program with the port's name in QOR_TEST_COM_PORT, and takes it all down again.
# PORT is one of COM1 to COM9: only those names are devices without the \\.\ prefix.
# Usage: run-with-com-port.sh WINE_RUN PREFIX PORT PROGRAM [ARGS...]
set -eu
wine_run=$1 prefix=$2 port=$3
shift 3

# The prefix is made on first use; make sure it exists before linking into it.
if [ ! -f "$prefix/system.reg" ]; then
  "$wine_run" "$prefix" cmd /c exit >/dev/null 2>&1 || true
fi

log=$(mktemp)
link="$prefix/dosdevices/${port,,}"
socat -d -d pty,raw,echo=0 pty,raw,echo=0 2>"$log" &
socat_pid=$!
cleanup() {
  # The wineserver took the pseudo-terminal as its controlling terminal when it opened the
  # port: let it finish before the terminal hangs up on it.
  WINEPREFIX="$prefix" timeout 60 wineserver -w 2>/dev/null || true
  kill "$socat_pid" 2>/dev/null || true
  wait "$socat_pid" 2>/dev/null || true
  rm -f "$link" "$log"
}
trap cleanup EXIT

pty=
for _ in $(seq 100); do
  pty=$(sed -n 's/.*PTY is \(\/dev\/[^ ]*\).*/\1/p' "$log" | head -n1)
  [ -n "$pty" ] && break
  sleep 0.05
done
[ -n "$pty" ] || { echo "socat gave no pseudo-terminal:"; cat "$log"; exit 1; }
ln -sfn "$pty" "$link"
echo "$port -> $pty"

QOR_TEST_COM_PORT=$port "$wine_run" "$prefix" "$@"
