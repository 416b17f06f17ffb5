#!/usr/bin/env bash
# Configures (once) and builds MUR incrementally in ./build.
# Usage: scripts/build.sh [extra cmake --build arguments]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${MUR_BUILD_DIR:-$root/build}"

bash "$root/scripts/setup.sh"

# Let clean clones in other folders share one compiler cache.
export CCACHE_BASEDIR="$root"
export CCACHE_NOHASHDIR=1

if [ ! -f "$build/build.ninja" ]; then
    echo "build: configuring $build..."
    started=$SECONDS
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${MUR_BUILD_TYPE:-Release}" >/dev/null
    echo "build: configured in $((SECONDS - started)) s"
fi
echo "build: building (the first build takes a few minutes)..."
started=$SECONDS
cmake --build "$build" "$@"
echo "build: built in $((SECONDS - started)) s"
