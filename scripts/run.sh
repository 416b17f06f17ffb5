#!/usr/bin/env bash
# Builds everything and runs MUR's main job.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${MUR_BUILD_DIR:-$root/build}"

bash "$root/scripts/build.sh"
"$build/tools/mur-hostcheck" "$@"
