#!/usr/bin/env bash
# Cross-builds the Windows x64 VST3 (and its Wine test host) into ./build-windows.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${MUR_WINDOWS_BUILD_DIR:-$root/build-windows}"

bash "$root/scripts/setup.sh"
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1

echo "build: cross-building the Windows bundle in $build..."
started=$SECONDS
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
fi
cmake --build "$build" "$@"
echo "build: Windows bundle built in $((SECONDS - started)) s"
x86_64-w64-mingw32-strip "$build/MUR_artefacts/Release/VST3/MUR.vst3/Contents/x86_64-win/MUR.vst3"
echo "built: $build/MUR_artefacts/Release/VST3/MUR.vst3"
