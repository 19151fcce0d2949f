#!/usr/bin/env bash
# The live page's first paint in headless Chromium on loopback, against
# "dcx700ctl serve" on the simulator: first-contentful-paint as the page's
# own Performance API reports it (data-first-paint-ms, read back with
# --dump-dom), seven runs, each with a fresh browser profile.
#   bench_page.sh BUILD_DIR
# Exit status 0 when the median first paint is under 1000 ms.
set -uo pipefail
bin="$1/bin"
work="$(mktemp -d)"
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; rm -rf "$work"' EXIT
"$bin/dcx700-sim" --bind 127.0.0.1 --port 0 >"$work/sim.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do grep -q "listening on" "$work/sim.log" && break; sleep 0.1; done
sim="127.0.0.1:$(grep -m1 -o '[0-9]*$' "$work/sim.log")"
"$bin/dcx700ctl" --home "$work" --tcp "$sim" serve --http 127.0.0.1:0 >"$work/serve.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do grep -q "link online" "$work/serve.log" && break; sleep 0.1; done
url="$(sed -n 's/^Serving on //p' "$work/serve.log")"
chrome=(chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run
  --disable-background-networking --disable-component-update --disable-sync --window-size=820,560)
paints=()
for i in 1 2 3 4 5 6 7; do
  dom="$("${chrome[@]}" --user-data-dir="$work/c$i" --virtual-time-budget=2000 --dump-dom "$url" 2>/dev/null)"
  paints+=("$(grep -o 'data-first-paint-ms="[0-9]*"' <<<"$dom" | grep -o '[0-9]*')")
done
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
fp="$(median "${paints[@]}")"
echo "first-contentful-paint (page's Performance API): ${paints[*]} ms, median $fp ms"
[ -n "$fp" ] && [ "$fp" -lt 1000 ]
