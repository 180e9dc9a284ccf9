#!/bin/sh
# Builds Korvane and runs every test, installing what is missing on a Debian machine first.
#   scripts/test.sh              the normal build, in build/
#   scripts/test.sh --sanitize   AddressSanitizer and UndefinedBehaviorSanitizer, in build-sanitize/
#   scripts/test.sh --thread     the tests of calls from several threads under ThreadSanitizer,
#                                in build-thread/ (only that program is built)
set -eu
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh

build_dir=build
options="-DKORVANE_BUILD_TESTS=ON -DKORVANE_SANITIZE=OFF"
if [ "${1:-}" = "--sanitize" ]; then
    build_dir=build-sanitize
    options="-DKORVANE_BUILD_TESTS=ON -DKORVANE_SANITIZE=ON -DKORVANE_BUILD_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug"
fi

if [ "${1:-}" = "--thread" ]; then
    cmake -S . -B build-thread -DKORVANE_BUILD_TESTS=ON -DKORVANE_SANITIZE_THREAD=ON \
        -DKORVANE_BUILD_BENCHMARKS=OFF -DKORVANE_BUILD_COMMAND=OFF -DCMAKE_BUILD_TYPE=Debug
    cmake --build build-thread -j "$(nproc)" --target korvane_thread_tests
    # Without address space randomisation: ThreadSanitizer cannot map its shadow memory on
    # kernels that randomise more address bits than it expects.
    setarch "$(uname -m)" -R ctest --test-dir build-thread --output-on-failure -L threads
    exit 0
fi

# shellcheck disable=SC2086
cmake -S . -B "$build_dir" $options
cmake --build "$build_dir" -j "$(nproc)"
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
