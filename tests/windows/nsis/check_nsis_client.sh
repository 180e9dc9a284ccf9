#!/bin/sh
# Runs an NSIS installer that calls the 32-bit Korvane.dll under Wine, and checks what it read
# against what the Linux library reads from the same file, and that each library loads the
# other's saved files identically.
#   tests/windows/nsis/check_nsis_client.sh WIN32_BUILD_DIR LINUX_BUILD_DIR
set -eu
top=$(cd "$(dirname "$0")/../../.." && pwd)
dll_dir=$(cd "$1" && pwd)/bin
korvane=$(cd "$2" && pwd)/bin/korvane
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp "$dll_dir/Korvane.dll" "$top/data/indent.xsl" "$work/"
cp "$top/examples/setup.xml" "$work/setup.xml"
"$korvane" format "$work/setup.xml" -o "$work/linux.xml"
makensis -V1 -DOUTFILE="$work/client.exe" "$top/tests/windows/nsis/client.nsi" >/dev/null
# Under the Korean code page, so that the example's Hangul survives in the 8-bit texts.
(cd "$work" && LANG=ko_KR.EUC-KR "$top/scripts/wine-run.sh" client.exe)

"$top/tests/windows/check_client_results.sh" "$work" "$korvane" "$work/results.txt"
echo "NSIS client: read, expanded and saved as the Linux library does"
