#!/bin/sh
# The cross-build check: random descriptions are set through the exports and saved by each
# build (Linux, win32 and win64 under Wine), and every build loads every build's files, under
# the code pages 949, 1252 and 932. Each value a getter gives must be what the generator
# expects: the text as set, cut where the setter or the reader cuts it, with '?' where the
# caller's code page lacks a character. Then a negative control: one expected value changed on
# purpose must make the check fail.
#   scripts/check-cross-build.sh [--quick] [--seed N] [LINUX_BUILD WIN32_BUILD WIN64_BUILD]
# Builds default to build, build-win32 and build-win64, which must be built with tests.
# --quick checks 30 descriptions a code page instead of 300. The seed is printed; give it to
# replay a failure. Exits 1 on any difference.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
count=300
seed=$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')
while [ $# -gt 0 ]; do
    case "$1" in
        --quick) count=30; shift ;;
        --seed) seed=$2; shift 2 ;;
        *) break ;;
    esac
done
linux=$(cd "${1:-$top/build}" && pwd)/tests
win32=$(cd "${2:-$top/build-win32}" && pwd)/bin
win64=$(cd "${3:-$top/build-win64}" && pwd)/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$top/data/indent.xsl" "$work/"
cd "$work"

# Runs the client of build $1 under the locale $2 (which also gives Wine its ANSI code page).
client() {
    build=$1 locale=$2
    shift 2
    case $build in
        linux) set -- "$linux/korvane_batch_client" "$@" ;;
        win32) set -- "$top/scripts/wine-run.sh" "$win32/korvane_batch_client.exe" "$@" ;;
        win64) set -- "$top/scripts/wine-run.sh" "$win64/korvane_batch_client.exe" "$@" ;;
    esac
    env -u LC_ALL -u LC_CTYPE LANG="$locale" "$@"
}

echo "cross-build check: $count descriptions a code page, seed $seed"
status=0
for pair in 949:ko_KR.EUC-KR 1252:en_US.CP1252 932:ja_JP.SJIS; do
    page=${pair%%:*} locale=${pair#*:}
    "$linux/korvane_crossbuild" generate "$page" "$seed" "$count" "batch-$page" "expected-$page"
    for build in linux win32 win64; do
        client $build "$locale" save "batch-$page" "$build-$page" || status=1
    done
    for build in linux win32 win64; do
        client $build "$locale" load "batch-$page" "linux-$page" "win32-$page" "win64-$page" \
            > "loaded-$page-$build" || status=1
        "$linux/korvane_crossbuild" compare "$page" "expected-$page" "loaded-$page-$build" \
            "$build" > "compared-$page-$build" || status=1
        cat "compared-$page-$build"
    done
done

total=$(cat compared-* | sed -n 's/.*: compared \([0-9]*\) values.*/\1/p' | awk '{ s += $1 } END { print s }')
echo "compared $total values in all"

# The negative control: one expected text of the first description changed must add a
# difference for each build whose file gave that value before.
differences() { sed -n 's/.* builds, \([0-9]*\) differences$/\1/p' "$1"; }
awk '!done && $1 == 0 && $2 ~ /\./ && $3 ~ /^[0-9A-F]+$/ { $3 = $3 "58"; done = 1 } 1' \
    expected-949 > control-949
if "$linux/korvane_crossbuild" compare 949 control-949 loaded-949-linux linux > control.out ||
    [ "$(differences control.out)" -le "$(differences compared-949-linux)" ]; then
    echo "negative control: a value changed on purpose went unnoticed"
    status=1
else
    echo "negative control: the value changed on purpose was found" \
        "($(differences compared-949-linux) differences before, $(differences control.out) after)"
fi
if [ $status -eq 0 ]; then
    echo "cross-build check passed (seed $seed)"
else
    echo "cross-build check FAILED (seed $seed): replay with --seed $seed"
fi
exit $status
