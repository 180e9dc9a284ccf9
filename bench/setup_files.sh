#!/bin/sh
# Times LoadSetupFile and SaveSetupFile on a setup file of 20,000 files against the floor that
# libxml2 itself sets on this machine: `xmllint --noout` on the same file for the load, and
# `xsltproc indent.xsl` on the unindented scratch form for the save. Whole runs, with hyperfine:
# medians of 21 runs, with the spread (first to third quartile) of each.
#   bench/setup_files.sh [BUILD_DIR]     (default: build)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
timer="$build/bench/setup_file_timer"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$top/data/indent.xsl" .

"$timer" build-save big.xml
xmllint --noblanks big.xml > scratch.xml  # the unindented form that a save transforms
echo "setup file: $(wc -c < big.xml) bytes"

hyperfine --warmup 2 --runs 21 --export-json times.json \
    -n load "$timer load big.xml" \
    -n xmllint "xmllint --noout big.xml" \
    -n build "$timer build" \
    -n build-save "$timer build-save out.xml" \
    -n xsltproc "xsltproc indent.xsl scratch.xml > xsltproc-out.xml" > /dev/null

python3 - <<'PY'
import json, statistics
runs = {r["command"]: r["times"] for r in json.load(open("times.json"))["results"]}
def median(name): return statistics.median(runs[name])
def spread(name):
    q = statistics.quantiles(runs[name], n=4)
    return f"{q[0]*1000:.0f}-{q[2]*1000:.0f} ms"
for name in runs:
    print(f"{name:10} median {median(name)*1000:7.1f} ms  (quartiles {spread(name)})")
save = median("build-save") - median("build")
print(f"load / xmllint:  {median('load')/median('xmllint'):.2f}")
print(f"save / xsltproc: {save/median('xsltproc'):.2f}  (save = build-save - build = {save*1000:.1f} ms)")
PY
