#!/usr/bin/env bash
# Fails when the driver library imports any heap allocator or a function that allocates for
# its caller.
set -euo pipefail
nm=$1
library=$2
found=$("$nm" -D --undefined-only "$library" |
        grep -E ' (malloc|calloc|realloc|free|aligned_alloc|posix_memalign|memalign|strdup|strndup|_Znwj|_Znaj|_ZdlPv|_ZdaPv|_ZdlPvj|_ZnwjRKSt9nothrow_t)(@|$)' || true)
if [ -n "$found" ]; then
  echo "the driver library imports an allocator:"
  echo "$found"
  exit 1
fi
echo "no allocator among the imports of $library:"
"$nm" -D --undefined-only "$library"
