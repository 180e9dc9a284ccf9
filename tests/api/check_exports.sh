#!/bin/sh
# Fails unless the shared library $1 defines exactly the names of the export list $2, each
# bound to the version node KORVANE_0.1, and the header $3 declares exactly as many functions.
set -eu
library=$1
list=$2
header=$3
expected=$(grep -E '^[A-Za-z]' "$list" | awk '{print $1}' | LC_ALL=C sort)
# The version node that cmake/exports.cmake binds every export to.
node=KORVANE_0.1
# Every defined dynamic symbol except the linker's own markers and the version node's own
# (absolute) symbol; `actual` without the version that nm prints after a name.
symbols=$(nm -D --defined-only "$library" | awk '$2 != "A" {print $NF}' |
          grep -v -x -E '_init|_fini|_edata|_end|__bss_start')
actual=$(printf '%s\n' "$symbols" | sed 's/@.*//' | LC_ALL=C sort)
if ! nm -D --defined-only "$library" | awk '$2 == "A" {print $NF}' | grep -q -x "$node"; then
    echo "$library defines no version node $node"
    exit 1
fi
# Where nm prints versions (2.35 and later), each name has the node as its default version.
if printf '%s\n' "$symbols" | grep -q @; then
    unbound=$(printf '%s\n' "$symbols" | grep -v -x -E "[A-Za-z]+@@$node" || true)
    if [ -n "$unbound" ]; then
        echo "names not bound to $node:"
        printf '%s\n' "$unbound"
        exit 1
    fi
fi
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
