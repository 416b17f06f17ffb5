#!/bin/sh
# Removes what install.sh installed: the two bundles, the application and the
# factory presets it copied (by name). Your own presets, also those saved in
# the factory folder, and your settings stay.
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
record="${XDG_DATA_HOME:-$HOME/.local/share}/Corvane/MUR-install.txt"
if [ ! -f "$record" ]; then
    echo "uninstall: no record of an install ($record)" >&2
    exit 1
fi
value() { grep "^$1=" "$record" | tail -n 1 | cut -d= -f2-; }

rm -rf "$(value vst3)" "$(value lv2)"
rm -f "$(value bin)"
presets="$(value presets)"
for preset in "$here"/presets/Factory/*.fxp; do
    rm -f "$presets/$(basename "$preset")"
done
rmdir "$presets" 2>/dev/null || true
rm -f "$record"
echo "MUR uninstalled."
