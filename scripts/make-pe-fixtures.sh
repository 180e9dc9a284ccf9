#!/bin/sh
# Builds the small Windows libraries (PE32 and PE32+) that the version-text tests read, and
# copies them into the seed corpus of the PE version fuzzer. The results are committed, so the
# tests need no cross tools; run this again only to change the fixtures.
# Needs the mingw-w64 binutils (windres, as, ld: Debian binutils-mingw-w64-i686 and
# binutils-mingw-w64-x86-64) and a C preprocessor for windres (cpp).
set -eu
cd "$(dirname "$0")/.."

out=tests/fixtures/pe
seeds=fuzz/corpus/pe_version_fuzzer
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out" "$seeds"

# build NAME ARCH: links $work/NAME.rc (or no resources without one) into $out/NAME.dll, where
# ARCH is i686 (PE32) or x86_64 (PE32+).
build() {
    name=$1
    tools=$2-w64-mingw32
    if [ -f "$work/$name.rc" ]; then
        "$tools-windres" --preprocessor=cpp -i "$work/$name.rc" -o "$work/$name.o"
    else
        : | "$tools-as" -o "$work/$name.o"
    fi
    # No time stamp and no symbols, so that the same sources give the same bytes.
    "$tools-ld" --dll -e 0 -s --no-insert-timestamp -o "$out/$name.dll" "$work/$name.o"
    chmod a-x "$out/$name.dll"
    cp "$out/$name.dll" "$seeds/$name.dll"
}

# version_rc NAME TRANSLATIONS STRING-TABLES: a version resource with the given translation
# table (a list of language, code page pairs) and StringFileInfo blocks.
version_rc() {
    cat >"$work/$1.rc" <<RC
1 VERSIONINFO
FILEVERSION 1,2,3,4
PRODUCTVERSION 1,2,3,4
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
$3
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation"$2
  END
END
RC
}

version_rc version-1001 ", 0x409, 1200" '
    BLOCK "040904b0"
    BEGIN
      VALUE "CompanyName", "Korvane"
      VALUE "FileVersion", "1, 0, 0, 1"
      VALUE "ProductName", "Fixture"
    END'
build version-1001 i686

# Upper-case table key, as most resource compilers write it.
version_rc version-build-pe32plus ", 0x409, 1200" '
    BLOCK "040904B0"
    BEGIN
      VALUE "Comments", "FileVersion, but not the value"
      VALUE "FileVersion", "2.3.4 (build 7)"
    END'
build version-build-pe32plus x86_64

version_rc version-spaces ", 0x409, 1200" '
    BLOCK "040904b0"
    BEGIN
      VALUE "FileVersion", "   "
    END'
build version-spaces i686

version_rc version-empty-translation "" '
    BLOCK "040904b0"
    BEGIN
      VALUE "FileVersion", "1, 0"
    END'
build version-empty-translation i686

version_rc version-second-translation ", 0x409, 1200, 0x412, 949" '
    BLOCK "041203b5"
    BEGIN
      VALUE "FileVersion", "5, 0"
    END'
build version-second-translation i686

# 3, 1 followed by two Hangul syllables (U+BCA0 U+D0C0).
version_rc version-korean ", 0x412, 1200" '
    BLOCK "041204b0"
    BEGIN
      VALUE "FileVersion", L"3, 1 \xBCA0\xD0C0"
    END'
build version-korean i686

# Resources, but no version resource.
cat >"$work/no-version.rc" <<'RC'
1 RCDATA
BEGIN
  "not a version\0"
END
RC
build no-version i686

build no-resources-pe32plus x86_64
