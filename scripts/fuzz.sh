#!/bin/sh
# Builds the libFuzzer targets with clang (in build-fuzz/) and runs them.
#   scripts/fuzz.sh                     every target once over its seed corpus (what CI runs)
#   scripts/fuzz.sh TARGET SECONDS      a fuzzing campaign of one target; new inputs go to
#                                       build-fuzz/corpus-TARGET/, crashes to build-fuzz/
set -eu
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh --fuzz

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DKORVANE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-fuzz -j "$(nproc)"

if [ $# -eq 0 ]; then
    ctest --test-dir build-fuzz --output-on-failure -L fuzz
    exit 0
fi

target=$1
seconds=${2:-60}
seeds=fuzz/corpus/$target
work=build-fuzz/corpus-$target
mkdir -p "$work"
"build-fuzz/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix=build-fuzz/ "$work" "$seeds"
