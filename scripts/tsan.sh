#!/usr/bin/env bash
# Builds the processor tests with ThreadSanitizer in ./build-tsan and runs the
# tests in which the audio thread and the message thread work at once.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${MUR_TSAN_BUILD_DIR:-$root/build-tsan}"

bash "$root/scripts/setup.sh"
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1

if [ ! -f "$build/build.ninja" ]; then
    flags="-fsanitize=thread -g"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMUR_BUILD_BENCHMARKS=OFF \
        -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
        -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=thread" \
        -DCMAKE_MODULE_LINKER_FLAGS="-fsanitize=thread"
fi
cmake --build "$build" --target mur_tests

TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=0 second_deadlock_stack=1 suppressions=$root/scripts/tsan-suppressions.txt}" \
    "$build/tests/mur_tests" --gtest_filter="${1:-PlaybackProperties.*:Dispatch.*:Undo.AStateLoadedOnAHostThread*}"
