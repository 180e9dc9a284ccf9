#!/bin/sh
# What an installer that calls the 32-bit Korvane.dll wrote of what it read, checked against the
# Linux command on the same file; then each copy the DLL saved must load on Linux as the original
# does. Shared by the NSIS and Inno Setup client checks.
#   tests/windows/check_client_results.sh WORK KORVANE RESULTS [LAST_CODE_PAGE]
# WORK holds setup.xml, copy.xml and linux-copy.xml; RESULTS (UTF-8, any line ends) holds the
# client's lines. With LAST_CODE_PAGE (a Python codec), the client also read the last file's
# display name, which the DLL hands out in that code page.
set -eu
work=$1 korvane=$2 results=$3 last_code_page=${4:-}

"$korvane" show --json "$work/setup.xml" > "$work/expected.json"
python3 - "$work" "$results" "$last_code_page" <<'PY'
import json, sys
work, results, last_code_page = sys.argv[1:4]
d = json.load(open(f"{work}/expected.json", encoding="utf-8"))
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
]
if last_code_page:
    last = d["files"][-1]["displayName"]
    expected.append("last=1|" + last.encode(last_code_page, "replace").decode(last_code_page))
expected += [
    f"product=1|{product}",
    "save=1",
    f"words={counts[2] + 1} expanded=1|C:\\Apps\\Harbor\\notes.exe",
    "linux=1 1",
]
got = open(results, encoding="utf-8-sig").read().replace("\r", "").splitlines()
if got != expected:
    print("the installer read (<) something else than expected (>):")
    for g, e in zip(got + [""] * len(expected), expected + [""] * len(got)):
        if g != e:
            print(f"< {g}\n> {e}")
    sys.exit(1)
PY
for copy in copy.xml linux-copy.xml; do
    "$korvane" show --json "$work/$copy" > "$work/$copy.json"
    if ! cmp -s "$work/expected.json" "$work/$copy.json"; then
        echo "$copy, saved by Korvane.dll, does not load as the original:"
        diff "$work/expected.json" "$work/$copy.json" || true
        exit 1
    fi
done
