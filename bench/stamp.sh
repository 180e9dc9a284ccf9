#!/bin/sh
# Times `korvane stamp` of the 20,000-file setup file against a tree that holds every one of
# its source files (links to one PE file with a version resource), and compares it with a load
# plus a save of the same description (`korvane format`). Medians of 11 runs, with hyperfine.
#   bench/stamp.sh [BUILD_DIR]     (default: build; needs -DKORVANE_BUILD_BENCHMARKS=ON)
set -eu
. "$(dirname "$0")/benchmark_files.sh"
korvane="$build/bin/korvane"
mkdir -p tree/bin
i=0
while [ "$i" -lt 20000 ]; do
    ln "$top/tests/fixtures/pe/version-1001.dll" "tree/bin/module$i.dll"
    i=$((i + 1))
done
"$korvane" stamp big.xml --from tree -o stamped.xml  # every entry found, every value changed

hyperfine --warmup 1 --runs 11 --export-json times.json \
    -n stamp "$korvane stamp big.xml --from tree -o stamped.xml" \
    -n load-save "$korvane format big.xml -o formatted.xml" > /dev/null

python3 - <<'PY'
import json, statistics
runs = {r["command"]: statistics.median(r["times"]) for r in json.load(open("times.json"))["results"]}
for name, median in runs.items():
    print(f"{name:10} median {median*1000:7.1f} ms")
print(f"stamp / (load + save): {runs['stamp']/runs['load-save']:.2f}")
PY
