#!/bin/sh
# Builds Korvane.dll for 32-bit and 64-bit Windows with mingw-w64, into build-win32/ and
# build-win64/, installing what is missing on a Debian machine first.
#   scripts/build-windows.sh          both builds
#   scripts/build-windows.sh --test   both builds, then their tests under Wine
set -eu
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh --windows

test=OFF
warnings=$(mktemp)
trap 'rm -f "$warnings"' EXIT
[ "${1:-}" = "--test" ] && test=ON
for target in i686:win32 x86_64:win64; do
    build_dir=build-${target#*:}
    # The toolchain file counts on the first configure only (the cache keeps it); given again,
    # CMake warns that it was not used.
    toolchain=
    [ -f "$build_dir/CMakeCache.txt" ] ||
        toolchain=-DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-${target%:*}-w64-mingw32.cmake
    cmake -S . -B "$build_dir" ${toolchain:+"$toolchain"} \
        -DCMAKE_BUILD_TYPE=Release -DKORVANE_BUILD_TESTS=$test -DKORVANE_BUILD_COMMAND=ON \
        -DKORVANE_BUILD_BENCHMARKS=OFF 2> "$warnings" || { cat "$warnings" >&2; exit 1; }
    cat "$warnings" >&2
    # The tested build configures without a warning: each one is something to fix.
    if [ $test = ON ] && grep -q 'CMake Warning' "$warnings"; then
        echo "build-windows.sh: configuring $build_dir gave a warning" >&2
        exit 1
    fi
    cmake --build "$build_dir" -j "$(nproc)"
done
if [ $test = ON ]; then
    # One default Wine prefix runs both builds' programs.
    for build_dir in build-win32 build-win64; do
        ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
    done
fi
