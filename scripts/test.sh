#!/bin/sh
# Builds Korvane and runs every test, installing what is missing on a Debian machine first.
#   scripts/test.sh              the normal build, in build/
#   scripts/test.sh --sanitize   AddressSanitizer and UndefinedBehaviorSanitizer, in build-sanitize/
set -eu
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh

build_dir=build
options="-DKORVANE_BUILD_TESTS=ON -DKORVANE_SANITIZE=OFF"
if [ "${1:-}" = "--sanitize" ]; then
    build_dir=build-sanitize
    options="-DKORVANE_BUILD_TESTS=ON -DKORVANE_SANITIZE=ON -DKORVANE_BUILD_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug"
fi

# shellcheck disable=SC2086
cmake -S . -B "$build_dir" $options
cmake --build "$build_dir" -j "$(nproc)"
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
