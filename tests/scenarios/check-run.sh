#!/usr/bin/env bash
# Runs a command and checks its exit status and output (standard output and error together).
#   check-run.sh [--stdin FILE] --status N [--has REGEX]... [--lacks REGEX]... -- COMMAND [ARGS...]
set -uo pipefail
status=0
has=()
lacks=()
input=/dev/null
while [ $# -gt 0 ]; do
  case $1 in
    --status) status=$2; shift 2 ;;
    --has) has+=("$2"); shift 2 ;;
    --lacks) lacks+=("$2"); shift 2 ;;
    --stdin) input=$2; shift 2 ;;
    --) shift; break ;;
    *) echo "check-run.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
output=$("$@" 2>&1 <"$input")
got=$?
printf '%s\n' "$output"
failed=0
if [ "$got" != "$status" ]; then echo "check-run.sh: exit status $got, expected $status"; failed=1; fi
for regex in ${has[@]+"${has[@]}"}; do
  grep -Eq -- "$regex" <<<"$output" || { echo "check-run.sh: output lacks /$regex/"; failed=1; }
done
for regex in ${lacks[@]+"${lacks[@]}"}; do
  if grep -Eq -- "$regex" <<<"$output"; then echo "check-run.sh: output has /$regex/"; failed=1; fi
done
exit $failed
