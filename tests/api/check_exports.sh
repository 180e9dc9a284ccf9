#!/bin/sh
# Fails unless the shared library $1 defines exactly the names of the export list $2, and the
# header $3 declares exactly as many functions.
set -eu
library=$1
list=$2
header=$3
expected=$(grep -E '^[A-Za-z]' "$list" | awk '{print $1}' | LC_ALL=C sort)
# Every defined dynamic symbol except the linker's own markers.
actual=$(nm -D --defined-only "$library" | awk '{print $NF}' |
         grep -v -x -E '_init|_fini|_edata|_end|__bss_start' | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
    echo "exported names differ from $list (< listed, > exported):"
    dir=$(mktemp -d)
    printf '%s\n' "$expected" >"$dir/expected"
    printf '%s\n' "$actual" >"$dir/actual"
    diff "$dir/expected" "$dir/actual" || true
    rm -r "$dir"
    exit 1
fi
declared=$(grep -c '^KORVANE_API ' "$header")
listed=$(printf '%s\n' "$expected" | wc -l)
if [ "$declared" -ne "$listed" ]; then
    echo "$header declares $declared functions, $list lists $listed"
    exit 1
fi
