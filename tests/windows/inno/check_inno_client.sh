#!/bin/sh
# Compiles an Inno Setup installer that embeds the 32-bit Korvane.dll and calls it from its
# script, runs it silently under Wine, and checks what it read against what the Linux library
# reads from the same file, and that each library loads the other's saved files identically.
#   tests/windows/inno/check_inno_client.sh WIN32_BUILD_DIR LINUX_BUILD_DIR
# Inno Setup's compiler comes from scripts/install-dependencies.sh --inno; without it the check
# fails, unless KORVANE_NO_INNO=1 asks to go without it.
set -eu
top=$(cd "$(dirname "$0")/../../.." && pwd)
dll_dir=$(cd "$1" && pwd)/bin
korvane=$(cd "$2" && pwd)/bin/korvane
cache=${XDG_CACHE_HOME:-$HOME/.cache}/korvane
iscc=$cache/innosetup/node_modules/innosetup/bin/ISCC.exe
if [ ! -f "$iscc" ]; then
    if [ "${KORVANE_NO_INNO:-}" = 1 ]; then
        echo "KORVANE_NO_INNO=1: Inno Setup client not checked" >&2
        exit 0
    fi
    echo "Inno Setup is missing ($iscc): run scripts/install-dependencies.sh --inno" >&2
    exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A prefix of its own, with Wine's window-less graphics driver: the setup creates its wizard
# window even when silent, which fails without a display. A crash ends the program instead of
# waiting in the debugger.
export WINEPREFIX="$cache/inno-wine"
export WINEDLLOVERRIDES="winedbg.exe=d"
wine_run() { timeout 120 "$top/scripts/wine-run.sh" "$@" </dev/null; }
if ! grep -qs '"Graphics"="null"' "$WINEPREFIX/user.reg"; then
    wine_run reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    # The desktop picks its driver when it starts: end this prefix's Wine, to start it anew.
    wineserver -k
fi

cp "$dll_dir/Korvane.dll" "$top/data/indent.xsl" "$work/"
cp "$top/examples/setup.xml" "$work/setup.xml"
"$korvane" format "$work/setup.xml" -o "$work/linux.xml"
# The compiler embeds the DLL under test (files:Korvane.dll) into client.exe.
wine_run "$iscc" /Q "/DKorvaneDll=$(winepath -w "$work/Korvane.dll")" "/O$(winepath -w "$work")" \
    "$(winepath -w "$top/tests/windows/inno/client.iss")" >"$work/iscc.log" 2>&1 ||
    { cat "$work/iscc.log"; exit 1; }
rm "$work/Korvane.dll"
# Under code page 1252, where the example's Hangul reads as '?' through the 8-bit texts. Inno
# Setup 6.4.1's setup crashes at start under Wine 8 whenever the code page is 949 (ko_KR.EUC-KR
# or ko_KR.UTF-8), so the Korean code page is left to the NSIS client.
(cd "$work" && LANG=en_US.CP1252 wine_run client.exe /VERYSILENT /SUPPRESSMSGBOXES /NORESTART \
    "/LOG=$(winepath -w "$work/setup.log")" >"$work/run.log" 2>&1) ||
    { cat "$work/run.log"; tr -d '\r' < "$work/setup.log" 2>/dev/null | tail -20; exit 1; }

# The example's last display name is Hangul, which reads as '?' under code page 1252.
"$top/tests/windows/check_client_results.sh" "$work" "$korvane" "$work/results.txt" cp1252
echo "Inno Setup client: read, expanded and saved as the Linux library does"
