#!/usr/bin/env bash
# Builds the processor tests with ThreadSanitizer in ./build-tsan and runs the
# tests in which the audio thread and the message (or a host's) thread work
# at once, and those of the update check's own thread.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${MUR_TSAN_BUILD_DIR:-$root/build-tsan}"

bash "$root/scripts/sanitized-build.sh" "$build" thread mur_tests

TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=0 second_deadlock_stack=1 suppressions=$root/scripts/tsan-suppressions.txt}" \
    "$build/tests/mur_tests" --gtest_filter="${1:-PlaybackProperties.*:ProcessorLifetime.ReleasedOnAHostThread*:SaveRestoreOverlap.*:AccentPattern.StepsGoOn*:Dispatch.*:Undo.AStateLoadedOnAHostThread*:UpdateCheck.*:UpdateServiceClient.*}"
