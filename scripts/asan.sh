#!/usr/bin/env bash
# Builds the engine, processor and host tests with AddressSanitizer and
# UndefinedBehaviorSanitizer in ./build-asan and runs them. Any report fails
# the run; nothing is suppressed.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${MUR_ASAN_BUILD_DIR:-$root/build-asan}"

bash "$root/scripts/sanitized-build.sh" "$build" address,undefined mur_engine_tests mur_tests mur_host_tests

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export HOME="$build/test-home"
mkdir -p "$HOME"

"$build/tests/mur_engine_tests"
"$build/tests/mur_tests"
# The Windows bundle, its installer and the Linux tarball are tested in the
# main suite; here only the bundles built with the sanitizers are loaded, once
# each (a second copy of one instrumented bundle breaks the leak checker).
"$build/tests/mur_host_tests" --gtest_filter='-UnderWine.*:WindowsInstaller.*:LinuxRelease.*'
