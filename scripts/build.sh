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
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${MUR_BUILD_TYPE:-Release}"
fi
cmake --build "$build" "$@"
