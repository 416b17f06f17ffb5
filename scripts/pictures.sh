#!/usr/bin/env bash
# Draws the README's pictures again from the build, so that they show what
# this build draws: the editor, the three network views, the capture handle
# with a take ready and the demo's piano roll.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${MUR_BUILD_DIR:-$root/build}"
docs="$root/docs"

bash "$root/scripts/build.sh" --target mur-render >&2
render="$build/tools/mur-render"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

"$render" --snapshot "$docs/editor.png" --size 2156x1078 -o "$scratch/editor.mid" >/dev/null
for view in activity map topology; do
    "$render" --snapshot "$docs/view-$view.png" --view "$view" --steps 36 --set hiddenSize=12 --set softmaxGain=3 \
        -o "$scratch/$view.mid" >/dev/null
done
"$render" --snapshot "$docs/capture.png" --size 2156x1078 --area 300,56,478,120 --steps 64 -o "$scratch/capture.mid" >/dev/null
"$render" --plot "$docs/demo-roll.png" -o "$scratch/demo.mid" >/dev/null
echo "pictures: docs/editor.png, docs/view-{activity,map,topology}.png, docs/capture.png, docs/demo-roll.png"
