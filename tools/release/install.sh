#!/bin/sh
# Installs MUR for the current user, as `cmake --install` does from a build:
#   MUR.vst3      -> ~/.vst3
#   MUR.lv2       -> ~/.lv2
#   MUR           -> ~/.local/bin (the Standalone application)
#   the factory presets -> (your documents folder)/Corvane/MUR/Presets/Factory
# Other folders: MUR_VST3_DIR, MUR_LV2_DIR, MUR_BIN_DIR, MUR_FACTORY_PRESET_DIR.
# Running it again over an earlier install upgrades it; your own presets and
# settings are never touched. uninstall.sh takes it away again.
set -eu
here="$(cd "$(dirname "$0")" && pwd)"

# The documents folder as MUR itself finds it: XDG_DOCUMENTS_DIR from
# ~/.config/user-dirs.dirs, otherwise ~/Documents.
documents="$HOME/Documents"
dirs="${XDG_CONFIG_HOME:-$HOME/.config}/user-dirs.dirs"
if [ -f "$dirs" ]; then
    line="$(grep '^XDG_DOCUMENTS_DIR=' "$dirs" | tail -n 1 || true)"
    if [ -n "$line" ]; then
        value="$(printf '%s' "${line#XDG_DOCUMENTS_DIR=}" | sed -e 's/^"//' -e 's/"$//' -e "s|\$HOME|$HOME|")"
        [ -n "$value" ] && documents="$value"
    fi
fi

vst3="${MUR_VST3_DIR:-$HOME/.vst3}"
lv2="${MUR_LV2_DIR:-$HOME/.lv2}"
bin="${MUR_BIN_DIR:-$HOME/.local/bin}"
presets="${MUR_FACTORY_PRESET_DIR:-$documents/Corvane/MUR/Presets/Factory}"

mkdir -p "$vst3" "$lv2" "$bin" "$presets"
rm -rf "$vst3/MUR.vst3" "$lv2/MUR.lv2"
cp -R "$here/MUR.vst3" "$vst3/"
cp -R "$here/MUR.lv2" "$lv2/"
cp "$here/MUR" "$bin/MUR"
chmod 755 "$bin/MUR"
cp "$here"/presets/Factory/*.fxp "$presets/"

# Where everything went, for uninstall.sh.
mkdir -p "${XDG_DATA_HOME:-$HOME/.local/share}/Corvane"
{
    echo "vst3=$vst3/MUR.vst3"
    echo "lv2=$lv2/MUR.lv2"
    echo "bin=$bin/MUR"
    echo "presets=$presets"
} > "${XDG_DATA_HOME:-$HOME/.local/share}/Corvane/MUR-install.txt"

echo "MUR installed: $vst3/MUR.vst3, $lv2/MUR.lv2, $bin/MUR and the factory presets in $presets."
echo "Rescan plug-ins in your host."
