# Sourced by the benchmark scripts: sets `top`, `build` (the first argument, or build/) and
# `timer`, and makes a scratch folder, left on exit, holding the shipped indent.xsl, the
# 20,000-file benchmark description (big.xml) and the 200,000-word file (words.xml).
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
timer="$build/bench/setup_file_timer"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$top/data/indent.xsl" .
"$timer" build-save big.xml
"$timer" words-save words.xml
