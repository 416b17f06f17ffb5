#!/usr/bin/env bash
# Packs built artefacts into release archives, reproducibly (fixed times,
# owners and file order):
#   scripts/package.sh linux   OUT   -> OUT/MUR-<version>-linux-x64.tar.gz
#   scripts/package.sh windows OUT   -> OUT/MUR-<version>-win64-vst3.zip
# The builds come from MUR_BUILD_DIR and MUR_WINDOWS_BUILD_DIR (their Release
# artefacts, or MUR_BUILD_TYPE's); times from SOURCE_DATE_EPOCH (default: the
# last commit's time).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${MUR_BUILD_DIR:-$root/build}"
windows="${MUR_WINDOWS_BUILD_DIR:-$root/build-windows}"
what="${1:?linux or windows}"
out="${2:?an output folder}"

version="$(tr -d ' \r\n' < "$root/VERSION")"
epoch="${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 0)}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT

# Every file readable, executables executable, nothing group- or other-writable,
# and one time stamp.
normalise() {
    find "$1" -exec touch -h -d "@$epoch" {} +
    chmod -R u+rwX,go+rX,go-w "$1"
}

case "$what" in
linux)
    name="MUR-$version-linux-x64"
    artefacts="$build/MUR_artefacts/${MUR_BUILD_TYPE:-Release}"
    mkdir -p "$stage/$name/presets"
    cp -R "$artefacts/VST3/MUR.vst3" "$artefacts/LV2/MUR.lv2" "$stage/$name/"
    cp "$artefacts/Standalone/MUR" "$stage/$name/MUR"
    cp -R "$build/presets/Factory" "$stage/$name/presets/"
    strip --strip-unneeded "$stage/$name/MUR" "$stage/$name/MUR.lv2/libMUR.so" "$stage/$name/MUR.vst3/Contents/x86_64-linux/MUR.so"
    cp "$root/tools/release/install.sh" "$root/tools/release/uninstall.sh" "$root/tools/release/README.txt" \
       "$root/tools/installer/LICENSE.txt" "$stage/$name/"
    normalise "$stage/$name"
    tar -C "$stage" --sort=name --owner=0 --group=0 --numeric-owner --format=gnu -cf - "$name" | gzip -n -9 > "$out/$name.tar.gz"
    echo "package: $out/$name.tar.gz"
    ;;
windows)
    name="MUR-$version-win64-vst3"
    mkdir -p "$stage/$name/Factory presets"
    cp -R "$windows/MUR_artefacts/Release/VST3/MUR.vst3" "$stage/$name/"
    cp "$build"/presets/Factory/*.fxp "$stage/$name/Factory presets/"
    cp "$root/tools/installer/LICENSE.txt" "$stage/$name/"
    printf '%s\r\n' "MUR $version for 64-bit Windows, to install by hand:" \
        "1. Copy the folder MUR.vst3 into C:\\Program Files\\Common Files\\VST3." \
        "2. Copy the files in 'Factory presets' into Documents\\Corvane\\MUR\\Presets\\Factory." \
        "3. Rescan plug-ins in your host. To uninstall, delete both again." \
        "The setup program (MUR-$version-win64-setup.exe) does all this for you." > "$stage/$name/README.txt"
    normalise "$stage/$name"
    rm -f "$out/$name.zip"
    (cd "$stage" && find "$name" -print | LC_ALL=C sort | TZ=UTC zip -X -q -9 -@ "$out/$name.zip")
    echo "package: $out/$name.zip"
    ;;
*)
    echo "package: linux or windows, not $what" >&2
    exit 2
    ;;
esac
