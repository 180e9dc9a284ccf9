#!/bin/sh
# Installs, through apt-get, the Debian packages needed to build and test Korvane that this
# machine lacks. Does nothing when everything is there.
#   --fuzz      also clang and its libFuzzer runtime
#   --windows   also the mingw-w64 cross compilers, Wine (with the i386 architecture, so that
#               32-bit programs run), NSIS, python3 (with which the NSIS, Inno Setup and euc-kr
#               checks compare what the DLLs read), the ko_KR.EUC-KR, ja_JP.SJIS and
#               en_US.CP1252 locales (a Wine process started under one has its ANSI code page:
#               949, 932, 1252), and zip and unzip for the Windows zip
#   --package   also what making and checking the Debian packages needs: dpkg-dev (dpkg-shlibdeps),
#               file (which CPack runs on what it packs) and lintian
#   --inno      also node and npm, and Inno Setup's compiler (the npm package innosetup, pinned
#               with its registry integrity in tests/windows/inno/package-lock.json) into
#               ~/.cache/korvane/innosetup, outside the tree
#
# With KORVANE_NO_INSTALL=1 in the environment it changes nothing on this machine; the scripts
# that call it then build with what is there.
set -eu

if [ "${KORVANE_NO_INSTALL:-}" = 1 ]; then
    echo "KORVANE_NO_INSTALL=1: no packages or locales installed" >&2
    exit 0
fi

packages="g++ make cmake pkg-config locales libgtest-dev libbenchmark-dev libxml2-dev libxslt1-dev libcli11-dev nlohmann-json3-dev"
# The schema tests: xmllint validates setup files, python3-jsonschema the JSON form.
packages="$packages libxml2-utils python3 python3-jsonschema"
# A machine may have node and npm from elsewhere than Debian (whose npm would conflict).
if [ "${1:-}" = "--inno" ] && ! command -v npm >/dev/null; then
    packages="$packages nodejs npm"
fi
if [ "${1:-}" = "--fuzz" ]; then
    packages="$packages clang libclang-rt-dev"
fi
if [ "${1:-}" = "--package" ]; then
    packages="$packages dpkg-dev file lintian"
fi
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ "${1:-}" = "--windows" ]; then
    packages="$packages g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine32 wine64 nsis python3 zip unzip"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    if ! locale -a 2>/dev/null | grep -qix 'ko_KR.euckr'; then
        korean_locale=yes
    fi
fi

missing=""
for package in $packages; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    $sudo apt-get update -q
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
fi
if [ "${korean_locale:-}" = yes ]; then
    $sudo localedef -i ko_KR -f EUC-KR ko_KR.EUC-KR
fi
# The code pages 932 and 1252 of the cross-build check (localedef exits 1 on Shift-JIS's
# warnings about its ASCII range unless told not to give them).
if [ "${1:-}" = "--windows" ]; then
    locale -a | grep -qix ja_JP.sjis || $sudo localedef -i ja_JP -f SHIFT_JIS ja_JP.SJIS --no-warnings=ascii
    locale -a | grep -qix en_US.cp1252 || $sudo localedef -i en_US -f CP1252 en_US.CP1252
fi
# npm ci installs exactly what the lock names and refuses a package whose integrity differs.
if [ "${1:-}" = "--inno" ]; then
    inno_dir=${XDG_CACHE_HOME:-$HOME/.cache}/korvane/innosetup
    if [ ! -f "$inno_dir/node_modules/innosetup/bin/ISCC.exe" ]; then
        mkdir -p "$inno_dir"
        top=$(cd "$(dirname "$0")/.." && pwd)
        cp "$top/tests/windows/inno/package.json" "$top/tests/windows/inno/package-lock.json" "$inno_dir/"
        (cd "$inno_dir" && npm ci --ignore-scripts --no-audit --no-fund)
    fi
fi
