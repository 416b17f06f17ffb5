#!/usr/bin/env bash
# Builds the Windows installer, MUR-<version>-win64-setup.exe, from the
# Windows bundle (scripts/build-windows.sh) and the factory presets of the
# Linux build (scripts/build.sh), with NSIS's makensis.
# Usage: scripts/build-installer.sh [output folder]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${MUR_BUILD_DIR:-$root/build}"
windows="${MUR_WINDOWS_BUILD_DIR:-$root/build-windows}"
out="${1:-$windows/installer}"

version="$(tr -d ' \r\n' < "$root/VERSION")"
bundle="$windows/MUR_artefacts/Release/VST3/MUR.vst3"
presets="$build/presets/Factory"

for needed in "$bundle" "$presets"; do
    if [ ! -d "$needed" ]; then
        echo "installer: $needed is missing (run scripts/build.sh and scripts/build-windows.sh first)" >&2
        exit 1
    fi
done
if ! command -v makensis >/dev/null 2>&1; then
    echo "installer: makensis is missing (scripts/setup.sh installs NSIS)" >&2
    exit 1
fi

mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The factory files, one File and one Delete line each, in a fixed order.
{
    echo '!macro InstallPresets'
    while IFS= read -r name; do
        echo "  File \"$presets/$name\""
    done < <(cd "$presets" && LC_ALL=C ls -1 -- *.fxp)
    echo '!macroend'
    echo '!macro RemovePresets'
    while IFS= read -r name; do
        echo "  Delete \"\$PresetDir\\$name\""
    done < <(cd "$presets" && LC_ALL=C ls -1 -- *.fxp)
    echo '!macroend'
} > "$work/presets.nsh"

size_kb=$(( ($(du -sk "$bundle" | cut -f1) + $(du -sk "$presets" | cut -f1)) ))
setup="$out/MUR-$version-win64-setup.exe"
started=$SECONDS
makensis -V2 -NOCD \
    -DVERSION="$version" \
    -DBUNDLE="$bundle" \
    -DPRESETS_LIST="$work/presets.nsh" \
    -DLICENSE="$root/tools/installer/LICENSE.txt" \
    -DSIZE_KB="$size_kb" \
    -DOUTFILE="$setup" \
    "$root/tools/installer/MUR.nsi"
echo "installer: $setup ($(du -k "$setup" | cut -f1) KiB, built in $((SECONDS - started)) s)"
