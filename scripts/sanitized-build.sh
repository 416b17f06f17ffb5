#!/usr/bin/env bash
# Configures (once) and builds test targets with a sanitizer.
# Usage: scripts/sanitized-build.sh BUILD_DIR "SANITIZERS" TARGET...
#   e.g. scripts/sanitized-build.sh build-asan "address,undefined" mur_tests
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$1" sanitizers="$2"
shift 2

bash "$root/scripts/setup.sh"
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1

if [ ! -f "$build/build.ninja" ]; then
    flags="-fsanitize=$sanitizers -fno-omit-frame-pointer -g"
    [[ "$sanitizers" == *undefined* ]] && flags="$flags -fno-sanitize-recover=undefined"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMUR_BUILD_BENCHMARKS=OFF \
        -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
        -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=$sanitizers" -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=$sanitizers" \
        -DCMAKE_MODULE_LINKER_FLAGS="-fsanitize=$sanitizers"
fi
cmake --build "$build" --target "$@"
