#!/bin/sh
# Counts the instructions (callgrind) of a load of the 20,000-file benchmark and of the
# 200,000-word file, beside xmllint's on the same files: a figure that, unlike a time, does not
# move with what else the machine is doing.
#   bench/instructions.sh [BUILD_DIR]     (default: build)
set -eu
. "$(dirname "$0")/benchmark_files.sh"

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
