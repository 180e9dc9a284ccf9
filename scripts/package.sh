#!/bin/sh
# Makes the Debian packages libkorvane0, libkorvane-dev and korvane with CPack: a Release build
# for the prefix /usr in build-package/, then `cpack -G DEB`; the packages go into dist/.
# Installs what is missing on a Debian machine first (KORVANE_NO_INSTALL=1 prevents it).
set -eu
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh --package

launchers=""
if command -v ccache >/dev/null; then
    launchers="-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
fi
# Debian's hardening flags (fortified functions, read-only relocations bound at load), as
# packages built by dpkg-buildpackage get them.
flag() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
cppflags=$(flag CPPFLAGS)
ldflags=$(flag LDFLAGS)
# shellcheck disable=SC2086
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DKORVANE_DEBIAN_PACKAGES=ON -DKORVANE_BUILD_TESTS=OFF -DKORVANE_BUILD_BENCHMARKS=OFF \
    -DKORVANE_BUILD_COMMAND=ON $launchers \
    -DCMAKE_C_FLAGS="$(flag CFLAGS) $cppflags" -DCMAKE_CXX_FLAGS="$(flag CXXFLAGS) $cppflags" \
    -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"
cmake --build build-package -j2
(cd build-package && cpack -G DEB -B "$PWD/cpack")

mkdir -p dist
rm -f dist/*.deb
cp build-package/cpack/*.deb dist/
ls dist/*.deb
