#!/usr/bin/env bash
# The Linux twin: one exported function, QorMain; err imported at the host runtime's
# version, never the C library's err(3); bound at load time.
# Usage: check_elf_tables.sh LIBRARY HOST_RUNTIME_SONAME ERR_VERSION
set -u
lib=$1 hostrt=$2 version=$3
fail=0
say() { echo "$*"; fail=1; }
exports=$(nm -D --defined-only "$lib" | awk '$2 ~ /[TW]/ {print $3}')
[ "$exports" = "QorMain" ] || say "exported functions are not exactly QorMain: $(echo $exports)"
nm -D --undefined-only "$lib" | grep -qx "\s*U err@$version" || say "err is not imported as err@$version"
readelf -d "$lib" | grep -q "NEEDED.*\[$hostrt\]" || say "$hostrt is not needed"
readelf -d "$lib" | grep -q "BIND_NOW" || say "not bound at load time"
[ $fail = 0 ] && echo "symbol tables as expected"
exit $fail
