#!/bin/sh
# The engine library may reference only what it defines itself: no maths
# library function, no allocator, no compiler-made memset, nothing external.
# usage: check_engine_symbols.sh NM LIBRARY
set -eu
nm=$1
lib=$2
undefined=$("$nm" -u "$lib" | awk 'NF == 2 && $1 == "U" { print $2 }' | sort -u)
defined=$("$nm" --defined-only "$lib" | awk 'NF == 3 { print $3 }' | sort -u)
# The ELF loader's own symbol, present in every position-independent object.
external=$(printf '%s\n' "$undefined" | grep -v -x -F "$defined" | grep -v -x '_GLOBAL_OFFSET_TABLE_' || true)
if [ -n "$external" ]; then
  echo "the engine references symbols it does not define:"
  printf '  %s\n' $external
  exit 1
fi
echo "the engine references nothing outside itself ($(printf '%s\n' "$undefined" | grep -c . || true) internal references)"
