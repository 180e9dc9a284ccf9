#!/bin/sh
# The XML Schema that `korvane schema --xsd` prints accepts every setup file that `korvane check`
# finds no fault with: each test fixture that check accepts, and COUNT random descriptions built
# through `korvane build` (each of which check must accept too). One xmllint run validates them
# all, which also compiles the schema.
#   check_xsd_accepts.sh KORVANE SOURCE_DIR COUNT [SEED]
# xmllint validates only a tree whose entity references are replaced (--noent); the reader
# expands them too.
set -eu
korvane=$1
source=$2
count=$3
seed=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# UTF-8, so that every character of the random texts is in the code page.
export LC_ALL=C.UTF-8

"$korvane" schema --xsd >"$work/setup.xsd"
"$korvane" schema --json >"$work/setup.schema.json"

: >"$work/files"
for file in "$source"/fuzz/corpus/load_setup_file_fuzzer/*.xml "$source"/examples/setup.xml; do
    if "$korvane" check "$file" >/dev/null 2>&1; then
        echo "$file" >>"$work/files"
    fi
done
fixtures=$(wc -l <"$work/files")
# Fewer would mean that check, or this script, no longer finds the fixtures.
[ "$fixtures" -ge 20 ] || { echo "only $fixtures fixtures that check accepts"; exit 1; }

mkdir "$work/built"
# shellcheck disable=SC2086
python3 "$(dirname "$0")/random_descriptions.py" "$work/setup.schema.json" "$work/built" \
    "$count" $seed
n=0
while [ "$n" -lt "$count" ]; do
    json=$work/built/description-$n.json
    xml=$work/built/setup-$n.xml
    "$korvane" build "$json" -o "$xml" || { echo "build refused $json:"; cat "$json"; exit 1; }
    if ! "$korvane" check "$xml"; then
        echo "check finds fault with what build made of $json:"
        cat "$json"
        exit 1
    fi
    echo "$xml" >>"$work/files"
    n=$((n + 1))
done

# shellcheck disable=SC2046
if ! xmllint --noout --noent --schema "$work/setup.xsd" $(cat "$work/files") \
    2>"$work/errors"; then
    grep -v ' validates$' "$work/errors"
    exit 1
fi
echo "$fixtures fixtures and $count built descriptions validate"
