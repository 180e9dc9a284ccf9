#!/bin/sh
# Counts the instructions (callgrind) of a load of the 20,000-file benchmark and of the
# 200,000-word file, beside xmllint's on the same files: a figure that, unlike a time, does not
# move with what else the machine is doing.
#   bench/instructions.sh [BUILD_DIR]     (default: build)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
timer="$build/bench/setup_file_timer"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$top/data/indent.xsl" .
"$timer" build-save big.xml
"$timer" words-save words.xml

instructions() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
        sed -n 's/.*refs: *\([0-9,]*\).*/\1/p' | tr -d ,
}
for file in big.xml words.xml; do
    load=$(instructions "$timer" load "$file")
    tree=$(instructions xmllint --noout "$file")
    stream=$(instructions xmllint --stream --noout "$file")
    python3 -c "print(f'$file: load {$load:,} instructions; xmllint --noout {$tree:,}' \
        f' (ratio {$load/$tree:.2f}); xmllint --stream --noout {$stream:,}')"
done
