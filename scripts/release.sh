#!/usr/bin/env bash
# Builds everything from a clean tree (a fresh clone of the current commit)
# and puts the release into ./release:
#   MUR-<version>-win64-setup.exe    the Windows installer
#   MUR-<version>-win64-vst3.zip     the Windows bundle and presets, to install by hand
#   MUR-<version>-linux-x64.tar.gz   VST3, LV2, Standalone, factory presets, install.sh
#   SHA256SUMS
# Uncommitted changes are not part of a release. The Linux tarball is
# reproducible: two runs on one commit give the same bytes.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
started=$SECONDS

bash "$root/scripts/setup.sh"
if [ -n "$(git -C "$root" status --porcelain --untracked-files=no)" ]; then
    echo "release: note: uncommitted changes are left out (the release is built from $(git -C "$root" rev-parse --short HEAD))"
fi

# One fixed place for the clean tree, so that every run builds alike (and
# the compiler cache, keyed on paths inside the tree, is shared with the
# usual build).
work="$root/build-release"
rm -rf "$work"
mkdir -p "$work"
git clone --quiet --no-hardlinks "$root" "$work/src"
git -C "$work/src" checkout --quiet "$(git -C "$root" rev-parse HEAD)"
export SOURCE_DATE_EPOCH="$(git -C "$work/src" log -1 --format=%ct)"
export MUR_BUILD_DIR="$work/src/build" MUR_WINDOWS_BUILD_DIR="$work/src/build-windows"

echo "release: building $(git -C "$work/src" rev-parse --short HEAD) in $work/src"
bash "$work/src/scripts/build.sh" >/dev/null
bash "$work/src/scripts/build-windows.sh" >/dev/null
bash "$work/src/scripts/build-installer.sh" "$work/out"

rm -rf "$root/release"
mkdir -p "$root/release"
version="$(tr -d ' \r\n' < "$work/src/VERSION")"
cp "$work/out/MUR-$version-win64-setup.exe" "$root/release/"
bash "$work/src/scripts/package.sh" windows "$root/release"
bash "$work/src/scripts/package.sh" linux "$root/release"
(cd "$root/release" && LC_ALL=C sha256sum -- * > SHA256SUMS)

echo "release: $root/release, in $((SECONDS - started)) s:"
(cd "$root/release" && ls -l && cat SHA256SUMS)
