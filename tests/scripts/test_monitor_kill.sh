#!/usr/bin/env bash
# dcx700ctl monitor --log killed with SIGKILL at random moments of a run on the
# simulator, its link pulled now and then: every line of the log is whole
# except perhaps the last one, and each restart appends to the same file.
set -uo pipefail
build="$1"
bin="$build/bin"
work="$(mktemp -d)"
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

"$bin/dcx700-sim" --bind 127.0.0.1 --port 0 --speed 20 --control stdin >"$work/sim.log" 2>&1 < <(
  sleep 1; echo "unplug 2"; sleep 4; echo "unplug 1"; sleep 30) &
sim_pid=$!
port=""
for _ in $(seq 50); do
  line="$(grep -m1 '^dcx700-sim listening on ' "$work/sim.log")" && { port="${line##*:}"; break; }
  sleep 0.1
done
[ -n "$port" ] || { echo "FAIL: the simulator did not start"; cat "$work/sim.log"; exit 1; }

log="$work/run.txt"
printf '[DataLog]\r\nType=2\r\nInterval=0\r\nStart=0\r\nEnd=0\r\n' >"$work/DCX700 Comm.ini"
"$bin/dcx700ctl" --home "$work" --tcp "127.0.0.1:$port" operate start || { echo "FAIL: start"; exit 1; }
for round in $(seq 8); do
  "$bin/dcx700ctl" --home "$work" --tcp "127.0.0.1:$port" monitor --log "$log" >/dev/null 2>&1 &
  pid=$!
  sleep "$((RANDOM % 2)).$((RANDOM % 9 + 1))"
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
done

[ -s "$log" ] || { echo "FAIL: no log written"; exit 1; }
# A whole line ends in CR LF; only the file's last line may lack it (cut).
# Whole lines are empty, a start, header, end or gap line, or a data line of
# 1 + 1 + 16 + 1 + 12 fields.
bad="$(awk 'BEGIN { RS = "\n" }
  { n++; line[n] = $0 }
  END {
    for (i = 1; i <= n; i++) {
      l = line[i]
      last = (i == n)
      if (l !~ /\r$/) { if (!last) print "no CR LF: " l; continue }
      sub(/\r$/, "", l)
      if (l == "" || l ~ /^(Start:|End:|Time,Phase|Link lost )/) continue
      if (split(l, f, ",") != 31 || f[1] !~ /^[0-9]+\.[0-9]$/) print "bad line " i ": " l
    }
  }' "$log")"
if [ -n "$bad" ]; then
  echo "FAIL:"; echo "$bad"; exit 1
fi
echo "ok: $(grep -c . "$log") lines"
