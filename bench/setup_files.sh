#!/bin/sh
# Times LoadSetupFile and SaveSetupFile on a setup file of 20,000 files against the floor that
# libxml2 itself sets on this machine: `xmllint --noout` on the same file for the load, and
# `xsltproc indent.xsl` on the unindented scratch form for the save. Whole runs, with hyperfine.
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

hyperfine --warmup 2 --runs 15 --export-json times.json \
    -n load "$timer load big.xml" \
    -n xmllint "xmllint --noout big.xml" \
    -n build "$timer build" \
    -n build-save "$timer build-save out.xml" \
    -n xsltproc "xsltproc indent.xsl scratch.xml > xsltproc-out.xml"

python3 - <<'PY'
import json
t = {r["command"]: r["median"] for r in json.load(open("times.json"))["results"]}
save = t["build-save"] - t["build"]
print(f"load {t['load']*1000:.1f} ms, floor xmllint {t['xmllint']*1000:.1f} ms: ratio {t['load']/t['xmllint']:.2f}")
print(f"save {save*1000:.1f} ms (build-save {t['build-save']*1000:.1f} - build {t['build']*1000:.1f}), "
      f"floor xsltproc {t['xsltproc']*1000:.1f} ms: ratio {save/t['xsltproc']:.2f}")
PY
