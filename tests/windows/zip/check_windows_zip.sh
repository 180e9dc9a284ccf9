#!/bin/sh
# The Windows zip (scripts/package.sh --windows) as a user gets it: unpacked, it holds what it
# should, and each architecture's korvane.exe, run from it under Wine with code page 949, finds
# its stylesheet there and formats and builds setup files that the Linux command loads as the
# bundled example; the schemas match what the Linux command prints; and the NSIS and Inno Setup
# clients, built against the zip's 32-bit DLL, read and save as the Linux library does.
#   tests/windows/zip/check_windows_zip.sh ZIP LINUX_BUILD_DIR
set -eu
top=$(cd "$(dirname "$0")/../../.." && pwd)
zip=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
linux_build=$(cd "$2" && pwd)
korvane=$linux_build/bin/korvane
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
linux() { LC_ALL=ko_KR.euckr "$korvane" "$@"; }
status=0
fail() { printf 'the Windows zip: %s\n' "$*"; status=1; }

unzip -q "$zip" -d "$work/unpacked"
root=$work/unpacked/$(basename "$zip" .zip)
for file in README.md LICENSE include/korvane.h share/korvane/indent.xsl \
    share/korvane/setup.xsd share/korvane/setup.schema.json \
    x86/Korvane.dll x86/Korvane.def x86/libKorvane.dll.a x86/korvane.exe \
    x64/Korvane.dll x64/Korvane.def x64/libKorvane.dll.a x64/korvane.exe; do
    [ -f "$root/$file" ] || fail "$file is missing"
done
case $(i686-w64-mingw32-objdump -f "$root/x86/korvane.exe") in
    *pei-i386*) ;;
    *) fail "x86/korvane.exe is not a 32-bit program" ;;
esac

# Outside the unpacked folder, so that nothing but the zip's layout finds the stylesheet.
mkdir "$work/run"
cp "$top/examples/setup.xml" "$work/run/"
linux show --json "$work/run/setup.xml" > "$work/run/description.json"
{
    printf '@echo off\r\n'
    printf 'cd /d "%s"\r\n' "$(winepath -w "$work/run" 2>/dev/null)"
    for arch in x86 x64; do
        exe=$(winepath -w "$root/$arch/korvane.exe" 2>/dev/null)
        printf '"%s" format setup.xml -o %s-formatted.xml > %s-format.log 2>&1\r\n' "$exe" $arch $arch
        printf '"%s" build description.json -o %s-built.xml > %s-build.log 2>&1\r\n' "$exe" $arch $arch
    done
} > "$work/run.bat"
LANG=ko_KR.EUC-KR "$top/scripts/wine-run.sh" cmd /c "$(winepath -w "$work/run.bat" 2>/dev/null)" \
    </dev/null >/dev/null 2>&1 || true
for arch in x86 x64; do
    for made in formatted built; do
        file=$work/run/$arch-$made.xml
        if [ ! -f "$file" ]; then
            fail "$arch/korvane.exe wrote no $arch-$made.xml: $(cat "$work/run/$arch-"*.log)"
        elif ! linux show --json "$file" | cmp -s - "$work/run/description.json"; then
            fail "$arch-$made.xml does not load as the example"
        fi
    done
done
for form in xsd schema.json; do
    flag=--xsd
    [ $form = xsd ] || flag=--json
    "$korvane" schema $flag | cmp -s - "$root/share/korvane/setup.$form" ||
        fail "share/korvane/setup.$form is not what korvane schema $flag prints"
done

# The installer clients take a build folder and its bin/; the zip's x86/ stands in for it.
mkdir "$work/x86-build"
ln -s "$root/x86" "$work/x86-build/bin"
"$top/tests/windows/nsis/check_nsis_client.sh" "$work/x86-build" "$linux_build" ||
    fail "the NSIS client does not work with x86/Korvane.dll"
"$top/tests/windows/inno/check_inno_client.sh" "$work/x86-build" "$linux_build" ||
    fail "the Inno Setup client does not work with x86/Korvane.dll"

[ $status = 0 ] &&
    echo "the Windows zip: complete; korvane.exe formats and builds from it, and both installer" \
        "clients work with its DLL"
exit $status
