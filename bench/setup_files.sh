#!/bin/sh
# Times LoadSetupFile and SaveSetupFile on a setup file of 20,000 files, and loads of a file of
# 200,000 reserved words, against the floor that libxml2 itself sets on this machine: for a
# load, the file's own bytes read whole, `xmllint --stream --noout` (libxml2's parse without a
# tree) and `xmllint --noout` (the baseline); for a save, `xsltproc indent.xsl` on the
# unindented scratch form. Whole runs, with hyperfine: medians of 21 runs, with the spread
# (first to third quartile) of each.
#   bench/setup_files.sh [BUILD_DIR]     (default: build)
set -eu
. "$(dirname "$0")/benchmark_files.sh"
xmllint --noblanks big.xml > scratch.xml  # the unindented form that a save transforms
echo "setup file: $(wc -c < big.xml) bytes; words file: $(wc -c < words.xml) bytes"

hyperfine -N --warmup 2 --runs 21 --export-json times.json \
    -n read "cat big.xml" \
    -n xmllint-stream "xmllint --stream --noout big.xml" \
    -n xmllint "xmllint --noout big.xml" \
    -n load "$timer load big.xml" \
    -n words-xmllint "xmllint --noout words.xml" \
    -n words-load "$timer load words.xml" \
    -n build "$timer build" \
    -n build-save "$timer build-save out.xml" \
    -n xsltproc "xsltproc -o xsltproc-out.xml indent.xsl scratch.xml" > /dev/null

python3 - <<'PY'
import json, statistics
runs = {r["command"]: r["times"] for r in json.load(open("times.json"))["results"]}
def median(name): return statistics.median(runs[name])
def spread(name):
    q = statistics.quantiles(runs[name], n=4)
    return f"{q[0]*1000:.0f}-{q[2]*1000:.0f} ms"
for name in runs:
    print(f"{name:15} median {median(name)*1000:7.1f} ms  (quartiles {spread(name)})")
base = median("xmllint")
for name in ("read", "xmllint-stream", "load"):
    print(f"{name} / xmllint:{' ' * (16 - len(name))}{median(name)/base:.2f}")
print(f"words load / xmllint: {median('words-load')/median('words-xmllint'):.2f}")
save = median("build-save") - median("build")
print(f"save / xsltproc:       {save/median('xsltproc'):.2f}  (save = build-save - build = {save*1000:.1f} ms)")
PY
