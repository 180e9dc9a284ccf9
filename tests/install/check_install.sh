#!/bin/sh
# Installs the build tree given as $1 into a temporary prefix, then builds the README's C
# example against the installed library twice, with CMake's find_package and with pkg-config,
# runs both on the bundled example (each must print what its comment says), runs the installed
# command, and compares the installed schemas with what it prints. Fails on the first step that
# does not work.
set -eu
source=$(cd "$(dirname "$0")/../.." && pwd)
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
. "$source/tests/install/installed_tree.sh"

cmake --install "$build" --prefix "$prefix" >/dev/null

libdir=$(dirname "$(find "$prefix" -name 'libKorvane.so' | head -n 1)")

echo "find_package:"
cmake -S "$client" -B "$work/client-build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/client-build" >/dev/null
runs_as_documented "$work/client-build/client" "$libdir"

echo "pkg-config:"
flags=$(PKG_CONFIG_PATH=$libdir/pkgconfig pkg-config --cflags --libs korvane)
# shellcheck disable=SC2086
cc "$client/main.c" $flags -o "$work/client-pc"
runs_as_documented "$work/client-pc" "$libdir"

check_installed_command "$prefix"
echo "installed tree works"
