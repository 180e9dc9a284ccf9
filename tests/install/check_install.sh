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
client=$work/client
mkdir "$client"
cp "$source/tests/install/client/CMakeLists.txt" "$client/"
sh "$source/tests/readme/c_example.sh" source "$source/README.md" "$client/main.c"
runs_as_documented() {
    LD_LIBRARY_PATH=$libdir sh "$source/tests/readme/c_example.sh" check "$source/README.md" "$1" \
        "$source/examples/setup.xml"
}

cmake --install "$build" --prefix "$prefix" >/dev/null

libdir=$(dirname "$(find "$prefix" -name 'libKorvane.so' | head -n 1)")

echo "find_package:"
cmake -S "$client" -B "$work/client-build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/client-build" >/dev/null
runs_as_documented "$work/client-build/client"

echo "pkg-config:"
flags=$(PKG_CONFIG_PATH=$libdir/pkgconfig pkg-config --cflags --libs korvane)
# shellcheck disable=SC2086
cc "$client/main.c" $flags -o "$work/client-pc"
runs_as_documented "$work/client-pc"

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
