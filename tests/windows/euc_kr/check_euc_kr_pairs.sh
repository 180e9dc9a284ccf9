#!/bin/sh
# Every character that code page 949 has a pair for, saved by Korvane.dll in an euc-kr file:
# the file is EUC-KR as iconv reads it, the DLL loads every character back, and the Linux
# library loads the same characters from it.
#   tests/windows/euc_kr/check_euc_kr_pairs.sh WINDOWS_BUILD_DIR LINUX_BUILD_DIR
set -eu
top=$(cd "$(dirname "$0")/../../.." && pwd)
windows_bin=$(cd "$1" && pwd)/bin
korvane=$(cd "$2" && pwd)/bin/korvane
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp "$windows_bin/Korvane.dll" "$windows_bin/euc_kr_pairs_client.exe" "$top/data/indent.xsl" "$work/"
(cd "$work" && LANG=ko_KR.EUC-KR "$top/scripts/wine-run.sh" euc_kr_pairs_client.exe) | tr -d '\r'

# EUC-KR proper reads the file, and writes the same bytes back.
iconv -f EUC-KR -t UTF-8 "$work/pairs.xml" > "$work/pairs.utf8"
iconv -f UTF-8 -t EUC-KR "$work/pairs.utf8" | cmp -s - "$work/pairs.xml" ||
    { echo "pairs.xml does not survive iconv's EUC-KR unchanged"; exit 1; }

# The Linux library reads every command as the DLL set it.
LC_ALL=C.UTF-8 "$korvane" show --json "$work/pairs.xml" > "$work/linux.json"
python3 - "$work" <<'PY'
import json, sys
work = sys.argv[1]
read = json.load(open(f"{work}/linux.json", encoding="utf-8"))["preExecute"]
expected = open(f"{work}/expected.txt", encoding="utf-8").read().split("\n")[:-1]
wrong = [i for i, (r, e) in enumerate(zip(read, expected)) if r != e]
if len(read) != len(expected) or wrong:
    print(f"the Linux library read {len(read)} commands, {len(wrong)} of them differently"
          f" from the {len(expected)} the DLL set")
    sys.exit(1)
print(f"the Linux library read all {len(expected)} commands as the DLL set them")
PY
