#!/bin/sh
# The main job: builds Korvane (installing what is missing on a Debian machine first), shows the
# bundled example setup file, and formats it into a temporary file, which must come out the same.
set -eu
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh

cmake -S . -B build
cmake --build build -j "$(nproc)" --target korvane

korvane=build/bin/korvane
"$korvane" show examples/setup.xml

formatted=$(mktemp --suffix=.xml)
trap 'rm -f "$formatted"' EXIT
"$korvane" format examples/setup.xml -o "$formatted"
if cmp -s examples/setup.xml "$formatted"; then
    echo "format round trip: $formatted is identical to examples/setup.xml"
else
    echo "format round trip: $formatted differs from examples/setup.xml" >&2
    exit 1
fi
