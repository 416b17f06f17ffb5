#!/usr/bin/env bash
# Builds the renderer and what it links (not the tests), then runs MUR's main job: the offline renderer on its
# built-in demo progression (extra arguments go to mur-render).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${MUR_BUILD_DIR:-$root/build}"

bash "$root/scripts/build.sh" --target mur-render >&2
"$build/tools/mur-render" "$@"
