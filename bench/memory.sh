#!/bin/sh
# Memory of the description and of loading, against `xmllint --noout` on the same files:
#   - the resident bytes that filling the description of the 20,000-file benchmark takes, with
#     the bytes of its texts and its count of numbers;
#   - the peak resident size of loading that file, and a file of 200,000 reserved words saved
#     by the library, next to xmllint's on the same file.
#   bench/memory.sh [BUILD_DIR]     (default: build)
set -eu
. "$(dirname "$0")/benchmark_files.sh"
"$timer" resident
for file in big.xml words.xml; do
    korvane=$(/usr/bin/time -f %M "$timer" load "$file" 2>&1 >/dev/null)
    xmllint=$(/usr/bin/time -f %M xmllint --noout "$file" 2>&1 >/dev/null)
    echo "$file ($(wc -c < "$file") bytes): peak resident $korvane KB, xmllint $xmllint KB:" \
         "ratio $(python3 -c "print(f'{$korvane/$xmllint:.2f}')")"
done
