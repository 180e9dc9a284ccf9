#!/bin/sh
# korvane.exe under Wine, under code page 949, against the Linux command on the same files: every
# subcommand gives the same exit status and the same standard output and error (JSON byte for
# byte, tables, findings with their lines and messages in the code page), and every file it writes
# loads on Linux as the one the Linux command writes. `folders` answers for Windows and is checked on its own.
#   tests/windows/cli/check_windows_command.sh WINDOWS_BUILD_DIR LINUX_BUILD_DIR
# The Windows side runs as one batch file, so that Wine starts once.
set -eu
top=$(cd "$(dirname "$0")/../../.." && pwd)
windows_bin=$(cd "$1" && pwd)/bin
linux_build=$(cd "$2" && pwd)
korvane=$linux_build/bin/korvane
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The Linux locale whose code set is code page 949's, and Wine's under which it is the ANSI one;
# both in the zone Wine is run in, for versions read from time stamps.
linux_locale=ko_KR.euckr
export TZ="${KORVANE_WINE_TZ:-KST-9}"
linux() { LC_ALL=$linux_locale "$korvane" "$@"; }

# The files: the bundled example; one that check finds fault with (a misspelt element, a number
# that is not one) and one that is not well-formed; a changed copy for diff; the example's JSON
# form, and a JSON form build refuses; a tree of PE files and a description of them for stamp.
inputs=$work/inputs
mkdir -p "$inputs/tree/bin" "$inputs/tree/Lib/Sub"
cp "$top/examples/setup.xml" "$inputs/setup.xml"
cp "$top/examples/setup.xml" "$inputs/inplace.xml"
sed -e '0,/<FILENAME>harbornotes.exe<\/FILENAME>/s//<FILNAME>harbornotes.exe<\/FILNAME>/' \
    -e 's/<FILESIZE>2457600</<FILESIZE>24O7600</' "$top/examples/setup.xml" > "$inputs/faulty.xml"
head -n 30 "$top/examples/setup.xml" > "$inputs/broken.xml"
sed -e 's/<VERSION>3.2.0<\/VERSION>/<VERSION>3.3.0<\/VERSION>/' \
    -e 's/bin\\hnsync.dll/bin\\hnsync2.dll/' "$top/examples/setup.xml" > "$inputs/changed.xml"
linux show --json "$inputs/setup.xml" > "$inputs/description.json"
printf '{"files": "none"}\n' > "$inputs/refused.json"
pe=$top/tests/fixtures/pe
cp "$pe/version-1001.dll" "$inputs/tree/bin/app.dll"
cp "$pe/no-version.dll" "$inputs/tree/bin/plain.dll"
cp "$pe/version-korean.dll" "$inputs/tree/bin/korean.dll"
cp "$pe/version-spaces.dll" "$inputs/tree/blank.dll"
cp "$pe/version-build-pe32plus.dll" "$inputs/tree/Lib/Sub/Build.DLL"
cp "$pe/no-resources-pe32plus.dll" "$inputs/tree/Lib/none.dll"
python3 - "$inputs" <<'PY'
import json, sys
inputs = sys.argv[1]
d = json.load(open(f"{inputs}/description.json", encoding="utf-8"))
entry = dict(d["files"][0])
def source(path, size=7):
    return dict(entry, srcPath=path, fileName=path.replace("\\", "/").split("/")[-1],
                version="old", fileSize=size)
# Names as given and in another case, through both separators.
d["files"] = [source("bin\\app.dll"), source("bin/plain.dll"), source("BIN\\Korean.dll"),
              source("blank.dll"), source("lib\\SUB/build.dll"), source("Lib\\none.dll")]
json.dump(d, open(f"{inputs}/stamp.json", "w", encoding="utf-8"), ensure_ascii=False)
d["files"].append(source("bin\\gone.dll"))
json.dump(d, open(f"{inputs}/stamp-missing.json", "w", encoding="utf-8"), ensure_ascii=False)
PY
for name in stamp stamp-missing; do
    linux build "$inputs/$name.json" -o "$inputs/$name.xml"
done
cp "$inputs/stamp.xml" "$inputs/stamp-inplace.xml"

# Each case: a name, then the arguments (no blanks within one). Cases that write files write
# them in the case's folder, which each side has a copy of. Hangul (in code page 949) goes
# through the arguments in both directions: a file saved under a Hangul name and read back.
hangul=$(printf '\307\321\261\333')  # 한글 in code page 949
cat > "$work/cases" <<CASES
version-flag --version
usage frobnicate
show-json show --json setup.xml
show show setup.xml
show-broken show broken.xml
show-missing show nothing.xml
check check setup.xml
check-faulty check faulty.xml
check-broken check broken.xml
format format setup.xml -o formatted.xml
format-faulty format faulty.xml -o formatted-faulty.xml
format-inplace format inplace.xml
format-stdout format setup.xml -o -
format-hangul format setup.xml -o $hangul.xml
show-hangul show --json $hangul.xml
build build description.json -o built.xml
build-stdout build description.json -o -
build-refused build refused.json -o refused.xml
stamp stamp stamp.xml --from tree -o stamped.xml -v
stamp-dry stamp stamp.xml --from tree --dry-run
stamp-inplace stamp stamp-inplace.xml --from tree
stamp-missing stamp stamp-missing.xml --from tree
stamp-keep-going stamp stamp-missing.xml --from tree --keep-going -o kept.xml
stamp-stdout stamp stamp.xml --from tree -o -
diff-same diff setup.xml setup.xml
diff diff setup.xml changed.xml
diff-json diff --json setup.xml changed.xml
diff-broken diff setup.xml broken.xml
version version tree/bin/app.dll tree/bin/korean.dll tree/Lib/Sub/Build.DLL tree/blank.dll
version-missing version tree/nothing.dll
expand expand --word [APPDIR]=C:\\Apps [APPDIR]bin\\notes.exe [SYSDIR]x.dll
CASES
# What each case writes, beside its standard output, to load and compare.
written="formatted.xml formatted-faulty.xml inplace.xml $hangul.xml built.xml refused.xml
stamped.xml stamp-inplace.xml kept.xml"

# Linux.
cp -pR "$inputs" "$work/linux"
mkdir "$work/linux-out"
while read -r name arguments; do
    # shellcheck disable=SC2086  # the arguments are split at blanks on purpose
    (cd "$work/linux" && set +e && linux $arguments \
        > "$work/linux-out/$name.out" 2> "$work/linux-out/$name.err"
     echo "$name $?" >> "$work/linux-out/codes")
done < "$work/cases"

# Windows: one batch file, its lines in the code page as the arguments are.
cp -pR "$inputs" "$work/windows"
mkdir "$work/windows-out" "$work/folders"
exe=$(winepath -w "$windows_bin/korvane.exe" 2>/dev/null)
out=$(winepath -w "$work/windows-out" 2>/dev/null)
{
    printf '@echo off\r\n'
    printf 'cd /d "%s"\r\n' "$(winepath -w "$work/windows" 2>/dev/null)"
    while read -r name arguments; do
        printf '"%s" %s > "%s\\%s.out" 2> "%s\\%s.err"\r\n' "$exe" "$arguments" "$out" "$name" \
            "$out" "$name"
        printf '>> "%s\\codes" echo %s %%ERRORLEVEL%%\r\n' "$out" "$name"
    done < "$work/cases"
    printf '"%s" folders > "%s\\folders.out" 2> "%s\\folders.err"\r\n' "$exe" "$out" "$out"
    printf '>> "%s\\codes" echo folders %%ERRORLEVEL%%\r\n' "$out"
} > "$work/run.bat"
LANG=ko_KR.EUC-KR "$top/scripts/wine-run.sh" cmd /c "$(winepath -w "$work/run.bat" 2>/dev/null)" \
    </dev/null >/dev/null 2>&1 || true
tr -d '\r' < "$work/windows-out/codes" | sed 's/ *$//' > "$work/windows-out/codes.txt"

status=0
fail() { printf 'korvane.exe: %s\n' "$*"; status=1; }
mv "$work/windows-out/folders.out" "$work/windows-out/folders.err" "$work/folders/"
grep '^folders ' "$work/windows-out/codes.txt" > "$work/folders/code" || true
grep -v '^folders ' "$work/windows-out/codes.txt" > "$work/windows-codes" || true
if ! cmp -s "$work/linux-out/codes" "$work/windows-codes"; then
    fail "exit statuses differ from the Linux command's (<: Linux, >: Windows):"
    diff "$work/linux-out/codes" "$work/windows-codes" || true
fi
rm "$work/linux-out/codes" "$work/windows-out/codes" "$work/windows-out/codes.txt"
# Standard output and error, byte for byte: JSON, tables, findings, reports, messages. Wine's XML
# component does not say where a document stops being well-formed (its parseError is a dummy):
# that one finding is compared without its place and reason.
unplaced() { sed 's/:[0-9]*:[0-9]*: not well-formed XML: .*/: not well-formed XML/' "$1"; }
for file in "$work"/linux-out/*; do
    name=$(basename "$file")
    # Setup files that were printed are compared by what they load as, below.
    case $name in format-stdout.out | build-stdout.out | stamp-stdout.out) continue ;; esac
    unplaced "$file" > "$work/linux-unplaced"
    unplaced "$work/windows-out/$name" > "$work/windows-unplaced"
    if ! cmp -s "$work/linux-unplaced" "$work/windows-unplaced"; then
        fail "${name%.*} printed other than the Linux command on standard ${name##*.} (<: Linux, >: Windows):"
        diff "$file" "$work/windows-out/$name" | head -20 || true
    fi
done
# Files written, and setup files printed: what the Linux command loads from them.
loads() { LC_ALL=$linux_locale "$korvane" show --json "$1" 2>&1; echo "exit $?"; }
for name in $written; do
    if [ -e "$work/linux/$name" ] && [ -e "$work/windows/$name" ]; then
        [ "$(loads "$work/linux/$name")" = "$(loads "$work/windows/$name")" ] ||
            fail "$name loads other than the Linux command's"
    elif [ -e "$work/linux/$name" ] || [ -e "$work/windows/$name" ]; then
        fail "$name was written by one command only"
    fi
done
for name in format-stdout build-stdout stamp-stdout; do
    [ "$(loads "$work/linux-out/$name.out")" = "$(loads "$work/windows-out/$name.out")" ] ||
        fail "the setup file that $name printed loads other than the Linux command's"
done
# The saved files hold what the description holds: the JSON round trip is the identity.
[ "$(loads "$work/windows/built.xml")" = "$(cat "$inputs/description.json"; echo "exit 0")" ] ||
    fail "built.xml does not load as the description it was built from"

# folders: Windows's own folders, every one of them answered.
folders=$(tr -d '\r' < "$work/folders/folders.out")
[ "$(cat "$work/folders/code")" = "folders 0" ] ||
    fail "folders ended with \"$(cat "$work/folders/code")\": $(cat "$work/folders/folders.err")"
for expected in 'system folder  *C:\\windows\\system32' 'Windows folder  *C:\\windows' \
    'program files  *C:\\Program Files' 'temporary installation path: C:\\'; do
    printf '%s\n' "$folders" | grep -qi "$expected" || fail "folders lacks \"$expected\":
$folders"
done
if printf '%s\n' "$folders" | grep -q '(none)'; then
    fail "folders has no answer for a folder:
$folders"
fi
# On a console (Wine makes one of a terminal, which `script` gives it) whose code page is not the
# ANSI one, a table and JSON still show their Hangul: Wine writes what WriteConsoleW was given
# to the terminal in the locale's encoding.
printf '@echo off\r\nchcp 437 >nul\r\n"%s" show setup.xml\r\n"%s" show --json setup.xml\r\n' \
    "$exe" "$exe" > "$work/console.bat"
(cd "$work/windows" && LANG=ko_KR.EUC-KR TERM=dumb timeout 120 script -qec \
    "'$top/scripts/wine-run.sh' cmd /c '$(winepath -w "$work/console.bat" 2>/dev/null)'" \
    /dev/null </dev/null > "$work/console.txt" 2>&1) || true
shown=$(iconv -f EUC-KR -t UTF-8 -c < "$work/console.txt" | grep -c '하버 노트 설명서' || true)
[ "$shown" = 2 ] || fail "a console with code page 437 does not show Hangul of a table and of JSON:
$(iconv -f EUC-KR -t UTF-8 -c < "$work/console.txt" | grep -a 'DISPLAY\|displayName' | head -4)"

# An argument that the ANSI code page cannot hold (Hangul under code page 1252) is refused, not
# used with '?' in its place.
(cd "$work/windows" && LANG=C.UTF-8 "$top/scripts/wine-run.sh" "$windows_bin/korvane.exe" \
    format setup.xml -o 한글.xml </dev/null > "$work/lost.out" 2> "$work/lost.err") &&
    lost=0 || lost=$?
if [ $lost != 2 ] || ! grep -q "argument 4 .* lacks" "$work/lost.err" ||
    [ -n "$(find "$work/windows" -name '*.xml' -newer "$work/lost.out" ! -name setup.xml)" ]; then
    fail "an argument the code page lacks was not refused (exit $lost): $(cat "$work/lost.err")"
fi
[ $status = 0 ] && echo "korvane.exe ($(basename "$1")): $(wc -l < "$work/cases") cases as the Linux command, and folders"
exit $status
