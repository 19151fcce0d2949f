#!/usr/bin/env bash
# A first run without a display shows a process at work: phases of more
# than one layer, then the way to open the window.
set -uo pipefail
run="$1"
build="$2"
out="$(env -u DISPLAY -u WAYLAND_DISPLAY DCX_RUN_NO_BUILD=1 DCX_SIM_PORT=0 BUILD_DIR="$build" "$run" 2>&1)"
rc=$?
echo "$out"
[ "$rc" -eq 0 ] || { echo "FAIL: exit $rc"; exit 1; }
for want in "Rise 1 " "Deposit " "layer 1 " "layer 2 " "to open the window"; do
  grep -q -- "$want" <<<"$out" || { echo "FAIL: no \"$want\" in the output"; exit 1; }
done
