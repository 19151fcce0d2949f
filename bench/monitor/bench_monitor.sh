#!/usr/bin/env bash
# Idle CPU and resident memory of the main window while it monitors the
# simulated instrument: starts dcx700-sim on a free loopback port, points a
# scratch program folder's INI at it, runs dcx700-comm on a virtual display
# (Xvfb when present, else the offscreen platform) and samples the program's
# /proc figures over the measuring time after a warm-up.
#
#   bench_monitor.sh <program folder> [seconds, default 60] [warm-up, default 5]
set -euo pipefail
bin="$(cd "${1:?usage: bench_monitor.sh <program folder> [seconds] [warm-up]}" && pwd)"
seconds="${2:-60}"
warmup="${3:-5}"
work="$(mktemp -d)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$bin/dcx700-sim" --port 0 --verbose >"$work/sim.log" 2>&1 &
pids+=($!)
port=""
for _ in $(seq 100); do
  port="$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9][0-9]*\).*/\1/p' "$work/sim.log" | head -n1)"
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "simulator did not start:"; cat "$work/sim.log"; exit 1; }

home="$work/home"
mkdir -p "$home"
cp "$bin"/*.OC2 "$bin"/*.html "$home"/ 2>/dev/null || true
printf '[CommSettings]\r\nType=2\r\nEAddress=127.0.0.1\r\nEPort=%s\r\n' "$port" >"$home/DCX700 Comm.ini"

platform="offscreen"
if command -v Xvfb >/dev/null; then
  # -displayfd picks a free display and reports it.
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  if [ -s "$work/display" ]; then
    export DISPLAY=":$(head -n1 "$work/display")"
    platform="xcb"
  fi
fi

QT_QPA_PLATFORM="$platform" "$bin/dcx700-comm" --home "$home" >"$work/comm.log" 2>&1 &
comm=$!
pids+=($comm)

ticks() { grep -c '^dcx700-sim V -> A' "$work/sim.log" || true; }
jiffies() { awk '{print $14 + $15}' "/proc/$comm/stat"; }
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$comm/status"; }

sleep "$warmup"
kill -0 "$comm" 2>/dev/null || { echo "dcx700-comm ended:"; cat "$work/comm.log"; exit 1; }
hz="$(getconf CLK_TCK)"
start_j="$(jiffies)"
start_t="$(date +%s.%N)"
start_ticks="$(ticks)"
peak=0
for _ in $(seq "$seconds"); do
  sleep 1
  r="$(rss_kb)"
  [ "$r" -gt "$peak" ] && peak="$r"
done
end_j="$(jiffies)"
end_t="$(date +%s.%N)"
end_ticks="$(ticks)"

awk -v j="$((end_j - start_j))" -v hz="$hz" -v t0="$start_t" -v t1="$end_t" -v peak="$peak" \
    -v polls="$((end_ticks - start_ticks))" -v platform="$platform" 'BEGIN {
  wall = t1 - t0
  cpu = 100 * (j / hz) / wall
  printf "platform %s, measured %.1f s\n", platform, wall
  printf "status polls answered: %d (%.2f per second)\n", polls, polls / wall
  printf "CPU: %.2f%% of one core (limit 2%%)\n", cpu
  printf "peak resident memory: %.1f MB (limit 150 MB)\n", peak / 1024
  exit (cpu < 2 && peak / 1024 < 150 && polls > 0) ? 0 : 1
}'
