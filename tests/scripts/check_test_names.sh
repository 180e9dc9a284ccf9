#!/bin/sh
# Fails when a test of the build tree $2, as CTest ($1) lists it, carries a name a person cannot
# read or that changes from build to build: a parameter printed as its bytes ("88-byte object
# <E0-FB ...>"), an address (0x...), a parameter's printed value ("# GetParam() = ..."), or a
# bare parameter index ("/3") where the parameter should have a name.
set -eu
ctest=$1
build=$2
names=$("$ctest" --test-dir "$build" -N | sed -n 's/^ *Test *#[0-9]*: //p')
if [ -z "$names" ]; then
    echo "no tests listed in $build: the check proves nothing"
    exit 1
fi
unreadable=$(printf '%s\n' "$names" | grep -E 'object <|0x[0-9a-fA-F]|GetParam|/[0-9]+$' || true)
if [ -n "$unreadable" ]; then
    echo "tests whose names do not read:"
    printf '%s\n' "$unreadable"
    exit 1
fi
echo "$(printf '%s\n' "$names" | wc -l) test names read"
