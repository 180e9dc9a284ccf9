#!/bin/sh
# Runs an NSIS installer that calls the 32-bit Korvane.dll under Wine, and checks what it read
# against what the Linux library reads from the same file, and that each library loads the
# other's saved files identically.
#   tests/windows/nsis/check_nsis_client.sh WIN32_BUILD_DIR LINUX_BUILD_DIR
set -eu
top=$(cd "$(dirname "$0")/../../.." && pwd)
dll_dir=$(cd "$1" && pwd)/bin
korvane=$(cd "$2" && pwd)/src/cli/korvane
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp "$dll_dir/Korvane.dll" "$top/data/indent.xsl" "$work/"
cp "$top/examples/setup.xml" "$work/setup.xml"
"$korvane" format "$work/setup.xml" -o "$work/linux.xml"
makensis -V1 -DOUTFILE="$work/client.exe" "$top/tests/windows/nsis/client.nsi" >/dev/null
# Under the Korean code page, so that the example's Hangul survives in the 8-bit texts.
(cd "$work" && LANG=ko_KR.EUC-KR "$top/scripts/wine-run.sh" client.exe)

"$korvane" show --json "$work/setup.xml" > "$work/expected.json"
tr -d '\r' < "$work/results.txt" > "$work/results"
python3 - "$work" <<'PY'
import json, sys
work = sys.argv[1]
d = json.load(open(f"{work}/expected.json"))
f = d["files"][0]
product = next(c["value"] for c in d["config"] if c["name"] == "PRODUCT")
counts = [len(d[k]) for k in ("files", "registry", "reservedWords", "preKill", "upKill",
                              "preExecute", "postExecute", "updateExecute", "deleteExecute")]
expected = [
    "load=1",
    "counts=" + " ".join(map(str, counts)),
    "file0=1|" + "|".join(str(f[k]) for k in (
        "srcPath", "fileName", "folder", "version", "targetOs", "shortcut", "displayName",
        "iconIndex", "selfReg", "overwrite", "fileSize", "realTime", "reboot")),
    f"product=1|{product}",
    "save=1",
    f"words={counts[2] + 1} expanded=1|C:\\Apps\\Harbor\\notes.exe",
    "linux=1 1",
]
got = open(f"{work}/results").read().splitlines()
if got != expected:
    print("the installer read (<) something else than expected (>):")
    for g, e in zip(got + [""] * len(expected), expected + [""] * len(got)):
        if g != e:
            print(f"< {g}\n> {e}")
    sys.exit(1)
PY
# What the DLL saved loads on Linux as the original does, and the other way round.
for copy in copy.xml linux-copy.xml; do
    "$korvane" show --json "$work/$copy" > "$work/$copy.json"
    if ! cmp -s "$work/expected.json" "$work/$copy.json"; then
        echo "$copy, saved by Korvane.dll, does not load as the original:"
        diff "$work/expected.json" "$work/$copy.json" || true
        exit 1
    fi
done
echo "NSIS client: read, expanded and saved as the Linux library does"
