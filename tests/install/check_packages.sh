#!/bin/sh
# Makes the Debian packages (scripts/package.sh) and checks them without installing anything:
# lintian finds nothing beyond the explained overrides; each package holds its own files; the
# README's C example builds against the packages unpacked into a staging root, with pkg-config
# and with CMake's find_package, and prints there what its comment says; the command runs there; and
# apt resolves the packages' dependencies (a simulation, which installs nothing), while the
# command or the development files alone lack libkorvane0.
set -eu
cd "$(dirname "$0")/../.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source=$PWD
. tests/install/installed_tree.sh
root=$work/root
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
libdir=$root/usr/lib/$multiarch

scripts/package.sh

echo "lintian:"
lintian --fail-on error,warning dist/*.deb

echo "contents:"
# Paths a package must hold (without the leading ./), by package name.
expected() {
    case $1 in
    libkorvane0) echo "usr/lib/$multiarch/libKorvane.so.0.1.0 usr/lib/$multiarch/libKorvane.so.0
        usr/share/korvane/indent.xsl usr/share/doc/libkorvane0/copyright" ;;
    libkorvane-dev) echo "usr/include/korvane.h usr/lib/$multiarch/libKorvane.so
        usr/lib/$multiarch/cmake/Korvane/KorvaneConfig.cmake
        usr/lib/$multiarch/pkgconfig/korvane.pc usr/share/doc/libkorvane-dev/copyright" ;;
    korvane) echo "usr/bin/korvane usr/share/korvane/setup.xsd usr/share/korvane/setup.schema.json
        usr/share/doc/korvane/copyright" ;;
    esac
}
for package in libkorvane0 libkorvane-dev korvane; do
    deb=$(ls dist/"${package}"_*.deb)
    dpkg-deb -c "$deb" | awk '!/^d/ { sub(/^\.\//, "", $6); print $6 }' >"$work/$package.files"
    for path in $(expected "$package"); do
        grep -qx "$path" "$work/$package.files" || { echo "$package lacks $path"; exit 1; }
    done
    dpkg-deb -x "$deb" "$root"
done
# dpkg refuses to install two packages that hold the same file.
shared=$(cat "$work"/*.files | sort | uniq -d)
[ -z "$shared" ] || { echo "in more than one package: $shared"; exit 1; }

echo "pkg-config:"
# The system's own .pc files too, for libxml2 and libxslt, which korvane.pc requires.
flags=$(PKG_CONFIG_SYSROOT_DIR=$root \
    PKG_CONFIG_LIBDIR=$libdir/pkgconfig:$(pkg-config --variable pc_path pkg-config) \
    pkg-config --cflags --libs korvane)
# shellcheck disable=SC2086
cc "$client/main.c" $flags -o "$work/client-pc"
runs_as_documented "$work/client-pc" "$libdir"

echo "find_package:"
cmake -S "$client" -B "$work/client-build" -DCMAKE_PREFIX_PATH="$root/usr" >/dev/null
grep -qx "Korvane_DIR:PATH=$libdir/cmake/Korvane" "$work/client-build/CMakeCache.txt"
cmake --build "$work/client-build" >/dev/null
runs_as_documented "$work/client-build/client" "$libdir"
LD_LIBRARY_PATH=$libdir ldd "$work/client-build/client" | grep -q "$libdir/libKorvane.so.0"

check_installed_command "$root/usr"

echo "apt-get --simulate:"
debs=$(ls "$PWD"/dist/*.deb)
# shellcheck disable=SC2086
apt-get install --simulate --no-install-recommends $debs >"$work/apt.log"
for package in libkorvane0 libkorvane-dev korvane; do
    grep -q "^Inst $package " "$work/apt.log" || { cat "$work/apt.log"; exit 1; }
done
# The dependencies on libkorvane0, which no repository offers: alone, neither resolves.
for package in korvane libkorvane-dev; do
    if apt-get install --simulate --no-install-recommends "$PWD"/dist/"${package}"_*.deb \
        >"$work/apt-alone.log" 2>&1; then
        echo "$package installs without libkorvane0"
        exit 1
    fi
    grep -q "Depends: libkorvane0 (= " "$work/apt-alone.log" ||
        { cat "$work/apt-alone.log"; exit 1; }
done
echo "packages work"
