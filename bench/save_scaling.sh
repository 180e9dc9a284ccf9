#!/bin/sh
# How saves scale with the number of entries, on Linux and for Korvane.dll under Wine: the time
# of one SaveSetupFile and the peak resident size of the whole process against the size of the
# saved file, both as save_scaling_client measures them in the process that fills the
# description through the exports and saves it (under Wine, /usr/bin/time would see only the
# program that starts the Windows process). With the shipped indent.xsl the save writes the file directly; the
# same save through the XSLT engine (a stylesheet that differs by a comment) is the baseline, at
# the sizes it finishes in reasonable time. On Linux also `korvane format` of the saved file
# (a load and a save).
#   bench/save_scaling.sh [BUILD_DIR [WINDOWS_BUILD_DIR]]    (default: build, build-win64;
#                                                            Wine is skipped without the latter)
# Each save runs KORVANE_BENCH_RUNS times (default 3): the median time, the highest peak.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
windows_bin=${2:-$top/build-win64}/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir "$work/direct" "$work/engine"
cp "$top/data/indent.xsl" "$work/direct/"
{ cat "$top/data/indent.xsl"; echo "<!-- the same transform, through the engine -->"; } \
    > "$work/engine/indent.xsl"

# run LABEL DIR N COMMAND...: runs COMMAND (which prints "fill S save S peak KB" and saves
# out.xml) in DIR $runs times; prints the median save time and the highest peak.
runs=${KORVANE_BENCH_RUNS:-3}
run() {
    label=$1 dir=$2 entries=$3
    shift 3
    : > "$work/out.txt"
    for _ in $(seq "$runs"); do
        (cd "$dir" && "$@" >> "$work/out.txt") ||
            { echo "$label $entries: failed"; cat "$work/out.txt"; return 0; }
    done
    bytes=$(wc -c < "$dir/out.xml")
    python3 - "$label" "$entries" "$bytes" "$work/out.txt" <<'PY'
import statistics, sys
label, entries, size = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
lines = [line.split() for line in open(sys.argv[4]) if line.strip()]
saves = [float(words[words.index("save") + 1]) for words in lines]
peak = max(int(words[words.index("peak") + 1]) for words in lines) * 1024
save = statistics.median(saves)
print(f"{label:14} {entries:>9} entries: file {size/1e6:7.1f} MB  save {save:7.2f} s"
      f" (median of {len(saves)})  peak {peak/1e6:7.1f} MB  peak/file {peak/size:5.2f}")
with open(f"{sys.argv[4]}.{label}.{entries}", "w") as kept:
    kept.write(f"{save}")
PY
    rm -f "$dir/out.xml"
}

ratio() {  # ratio LABEL SMALL LARGE
    python3 - "$work/out.txt.$1.$3" "$work/out.txt.$1.$2" "$1" "$2" "$3" <<'PY'
import sys
large, small = (float(open(p).read()) for p in sys.argv[1:3])
print(f"{sys.argv[3]}: save time {sys.argv[5]} / {sys.argv[4]} entries = {large/small:.2f}"
      f" (linear: {int(sys.argv[5])/int(sys.argv[4]):.0f})")
PY
}

client="$build/bench/save_scaling_client"
echo "Linux (libxslt build)"
for n in 100000 1000000; do run linux-direct "$work/direct" $n "$client" $n out.xml; done
ratio linux-direct 100000 1000000
run linux-engine "$work/engine" 100000 "$client" 100000 out.xml
for n in 100000 1000000; do
    (cd "$work/direct" && "$client" $n saved.xml > /dev/null &&
        /usr/bin/time -f "%e s, peak %M KB" "$build/bin/korvane" format saved.xml \
            -o formatted.xml 2> "$work/format.txt")
    echo "korvane format of the $n-entry file ($(wc -c < "$work/direct/saved.xml") bytes," \
         "a load and a save): $(cat "$work/format.txt")"
    rm -f "$work/direct/saved.xml" "$work/direct/formatted.xml"
done

if [ -f "$windows_bin/Korvane.dll" ] && [ -f "$windows_bin/save_scaling_client.exe" ]; then
    echo "Windows (Korvane.dll under Wine, $(basename "$(dirname "$windows_bin")"))"
    for dir in direct engine; do
        cp "$windows_bin/Korvane.dll" "$windows_bin/save_scaling_client.exe" "$work/$dir/"
    done
    wine_run="$top/scripts/wine-run.sh"
    for n in 25000 50000 100000 1000000; do
        run wine-direct "$work/direct" $n "$wine_run" save_scaling_client.exe $n out.xml
    done
    ratio wine-direct 100000 1000000
    for n in 25000 50000; do
        run wine-engine "$work/engine" $n "$wine_run" save_scaling_client.exe $n out.xml
    done
    ratio wine-engine 25000 50000
fi
