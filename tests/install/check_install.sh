#!/bin/sh
# Installs the build tree given as $1 into a temporary prefix, then builds the C program of
# tests/install/client against the installed library twice, with CMake's find_package and with
# pkg-config, runs both, runs the installed command, and compares the installed schemas with
# what it prints. Fails on the first step that does not work.
set -eu
client=$(cd "$(dirname "$0")/client" && pwd)
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null

libdir=$(dirname "$(find "$prefix" -name 'libKorvane.so' | head -n 1)")

echo "find_package:"
cmake -S "$client" -B "$work/client-build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/client-build" >/dev/null
LD_LIBRARY_PATH=$libdir "$work/client-build/client"

echo "pkg-config:"
flags=$(PKG_CONFIG_PATH=$libdir/pkgconfig pkg-config --cflags --libs korvane)
# shellcheck disable=SC2086
cc "$client/main.c" $flags -o "$work/client-pc"
LD_LIBRARY_PATH=$libdir "$work/client-pc"

echo "command:"
cd "$work"
"$prefix/bin/korvane" --version
printf '{"config": [{"name": "PRODUCT", "value": "Installed"}]}' >description.json
"$prefix/bin/korvane" build description.json -o setup.xml
"$prefix/bin/korvane" show setup.xml | grep -q Installed
test -z "$(ls temp*.xml 2>/dev/null)"
# The schemas beside the stylesheet, as the installed command prints them.
"$prefix/bin/korvane" schema --xsd | cmp - "$prefix/share/korvane/setup.xsd"
"$prefix/bin/korvane" schema --json | cmp - "$prefix/share/korvane/setup.schema.json"
echo "installed tree works"
