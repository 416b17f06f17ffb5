#!/usr/bin/env bash
# The window tests start their private X server even while another server
# holds the display number they would take first, and they run, not skip.
# Usage: WindowTestsWithADisplayTaken.sh PATH/TO/mur_window_tests
set -euo pipefail
tests="$1"

if ! command -v Xvfb >/dev/null 2>&1; then
    echo "Xvfb is not installed"
    exit 77
fi

# Another server on the lowest free display number, the first a new one tries.
number_file="$(mktemp)"
Xvfb -displayfd 5 -screen 0 320x200x24 -nolisten tcp 5>"$number_file" >/dev/null 2>&1 &
other=$!
trap 'kill "$other" 2>/dev/null || true; rm -f "$number_file"' EXIT

for _ in $(seq 200); do
    [ -s "$number_file" ] && break
    sleep 0.05
done
[ -s "$number_file" ] || { echo "the other X server did not start"; exit 1; }
echo "another X server holds display :$(cat "$number_file")"

output="$(env -u DISPLAY -u MUR_NO_DISPLAY "$tests" --gtest_filter=EditorWindow.ScreenCaptureSeesAPlainWindow 2>&1)"
echo "$output"
grep -q '\[  PASSED  \] 1 test' <<<"$output"
! grep -q 'SKIPPED' <<<"$output"
