#!/bin/sh
# Makes the Debian packages libkorvane0, libkorvane-dev and korvane with CPack: a Release build
# for the prefix /usr in build-package/, then `cpack -G DEB`; the packages go into dist/.
# Installs what is missing on a Debian machine first (KORVANE_NO_INSTALL=1 prevents it).
#   scripts/package.sh             the Debian packages
#   scripts/package.sh --windows   dist/korvane-VERSION-windows.zip instead, from the builds that
#                                  scripts/build-windows.sh made in build-win32/ and build-win64/,
#                                  with the schemas that the Linux build made in build/generated/
set -eu
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--windows" ]; then
    scripts/install-dependencies.sh --windows
    version=$(sed -n 's/^#define KORVANE_VERSION "\(.*\)"$/\1/p' include/korvane.h)
    name=korvane-$version-windows
    stage=$(mktemp -d)
    trap 'rm -rf "$stage"' EXIT
    # Each architecture's DLL, its definitions and import library, and the command without its
    # symbols; the stylesheet where the command looks for it from either folder
    # (..\share\korvane), and the schemas beside it, as an installation on Linux has them.
    for file in build/generated/setup.xsd build/generated/setup.schema.json; do
        [ -f "$file" ] || { echo "$file is missing: build the Linux command first"; exit 1; }
    done
    for pair in x86:build-win32:i686 x64:build-win64:x86_64; do
        folder=$stage/$name/${pair%%:*} build_dir=${pair#*:} triplet=${pair##*:}-w64-mingw32
        build_dir=${build_dir%:*}
        for file in Korvane.dll Korvane.def libKorvane.dll.a korvane.exe; do
            [ -f "$build_dir/bin/$file" ] ||
                { echo "$build_dir/bin/$file is missing: run scripts/build-windows.sh first"; exit 1; }
            mkdir -p "$folder"
            cp "$build_dir/bin/$file" "$folder/"
        done
        "$triplet-strip" "$folder/korvane.exe"
    done
    mkdir -p "$stage/$name/include" "$stage/$name/share/korvane"
    cp include/korvane.h "$stage/$name/include/"
    cp data/indent.xsl build/generated/setup.xsd build/generated/setup.schema.json \
        "$stage/$name/share/korvane/"
    cp README.md LICENSE "$stage/$name/"
    mkdir -p dist
    rm -f dist/korvane-*-windows.zip
    (cd "$stage" && zip -q -X -r "$OLDPWD/dist/$name.zip" "$name")
    echo "dist/$name.zip"
    exit 0
fi

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
