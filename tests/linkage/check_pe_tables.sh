#!/usr/bin/env bash
# Reads QorBVN.dll's export and import tables: one export, QorMain, undecorated; imports
# only from Windows' own DLLs, the host's runtime library (err, by name) and the
# data-exchange library (by ordinal only).
# Usage: check_pe_tables.sh OBJDUMP DLL HOST_RUNTIME_DLL
set -u
objdump=$1 dll=$2 hostrt=$3
table=$("$objdump" -p "$dll") || { echo "cannot read $dll"; exit 1; }
fail=0
say() { echo "$*"; fail=1; }

exports=$(printf '%s\n' "$table" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -E '^\s+\[' | awk '{print $NF}')
[ "$exports" = "QorMain" ] || say "exports are not exactly QorMain: $(echo $exports)"

# Import directory: one block per DLL, "DLL Name: X" followed by its entries.
imports=$(printf '%s\n' "$table" | awk '
  /DLL Name:/ { dll = $3; next }
  dll != "" && /^[[:space:]]*$/ { dll = ""; next }
  dll != "" && /^[[:space:]]+[0-9a-f]+[[:space:]]+[0-9]+/ { print dll, $0 }')
dlls=$(printf '%s\n' "$table" | awk '/DLL Name:/ {print $3}' | sort -u)
for d in $dlls; do
  case "${d,,}" in
    kernel32.dll|msvcrt.dll|"${hostrt,,}"|tembrix3.dll) ;;
    *) say "unexpected import from $d" ;;
  esac
done
echo "$dlls" | grep -qix "$hostrt" || say "no import from $hostrt"
host_names=$(printf '%s\n' "$imports" | awk -v d="$hostrt" 'tolower($1) == tolower(d) {print $NF}')
[ "$host_names" = "err" ] || say "imports from $hostrt are not exactly err: $(echo $host_names)"

if echo "$dlls" | grep -qix tembrix3.dll; then
  # objdump prints "<hint> <name>" for a named import and "<ordinal> <none>" for an ordinal one.
  named=$(printf '%s\n' "$imports" | awk 'tolower($1) == "tembrix3.dll" && $NF != "<none>"')
  count=$(printf '%s\n' "$imports" | awk 'tolower($1) == "tembrix3.dll"' | wc -l)
  [ -z "$named" ] || say "Tembrix3.dll imports by name: $named"
  echo "Tembrix3.dll: $count imports, all by ordinal"
else
  say "no import from Tembrix3.dll"
fi
[ $fail = 0 ] && echo "export and import tables as expected"
exit $fail
