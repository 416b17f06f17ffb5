#!/usr/bin/env bash
# Builds everything and runs the whole test suite.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${MUR_BUILD_DIR:-$root/build}"

bash "$root/scripts/build.sh"

# The Windows bundle, which the suite runs under Wine, whenever the tools are here.
if command -v wine >/dev/null 2>&1 && command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1; then
    MUR_WINDOWS_BUILD_DIR="${MUR_WINDOWS_BUILD_DIR:-$root/build-windows}" bash "$root/scripts/build-windows.sh"
    # And its installer, which the suite installs and uninstalls under Wine.
    if command -v makensis >/dev/null 2>&1; then
        MUR_BUILD_DIR="$build" MUR_WINDOWS_BUILD_DIR="${MUR_WINDOWS_BUILD_DIR:-$root/build-windows}" bash "$root/scripts/build-installer.sh"
    fi
fi

cd "$build"
echo "test: running the tests..."
started=$SECONDS
status=0
ctest --output-on-failure --timeout 900 "$@" || status=$?
echo "test: ran in $((SECONDS - started)) s"
exit "$status"
