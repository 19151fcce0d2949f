#!/usr/bin/env bash
# Real clients against "dcx700ctl serve" on the simulator, all on loopback:
# promtool checks the exposition, a Prometheus server scrapes it every second
# and answers a query with the simulated rates, headless Chromium renders the
# live page. Exits 77 (skipped) when one of the programs is missing.
#   $1 build folder, $2 where the page's screenshot goes (optional)
set -uo pipefail
bin="$1/bin"
shot="${2:-$1/remote-page.png}"
for p in promtool prometheus chromium curl python3; do
  command -v "$p" >/dev/null || { echo "SKIP: $p is not installed (scripts/setup installs it)"; exit 77; }
done
work="$(mktemp -d)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; for f in "$work"/*.log; do echo "--- $f"; tail -n 20 "$f"; done; exit 1; }
# Waits up to $2 tenths of a second for the pattern $1 in the file $3.
wait_for() {
  for _ in $(seq 1 "$2"); do grep -q -m1 -- "$1" "$3" 2>/dev/null && return 0; sleep 0.1; done
  return 1
}
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }

"$bin/dcx700-sim" --bind 127.0.0.1 --port 0 --speed 5 >"$work/sim.log" 2>&1 &
pids+=($!)
wait_for "listening on" 50 "$work/sim.log" || fail "the simulator did not start"
sim="127.0.0.1:$(grep -m1 -o '[0-9]*$' "$work/sim.log")"
ctl() { "$bin/dcx700ctl" --home "$work" --tcp "$sim" "$@"; }
ctl operate select 1 && ctl operate start || fail "could not start the demo process"

"$bin/dcx700ctl" --home "$work" --tcp "$sim" serve --http 127.0.0.1:0 >"$work/serve.log" 2>&1 &
pids+=($!)
wait_for "^Serving on " 50 "$work/serve.log" || fail "serve did not start"
url="$(sed -n 's/^Serving on //p' "$work/serve.log" | head -n1)"
wait_for "link online" 50 "$work/serve.log" || fail "serve did not reach the instrument"
sleep 1

# 1. promtool accepts the exposition without a word.
curl -sf "${url}metrics" >"$work/metrics.txt" || fail "GET /metrics"
lint="$(promtool check metrics <"$work/metrics.txt" 2>&1)" || fail "promtool: $lint"
[ -z "$lint" ] || fail "promtool warns: $lint"
echo "ok: promtool check metrics"

# 2. A Prometheus server scrapes serve every second; its query API returns
# the rates the simulator reports.
pport="$(free_port)"
target="${url#http://}"
cat >"$work/prometheus.yml" <<YML
global:
  scrape_interval: 1s
scrape_configs:
  - job_name: dcx700
    static_configs:
      - targets: ["${target%/}"]
YML
prometheus --config.file="$work/prometheus.yml" --storage.tsdb.path="$work/data" \
  --web.listen-address="127.0.0.1:$pport" >"$work/prometheus.log" 2>&1 &
pids+=($!)
query="http://127.0.0.1:$pport/api/v1/query?query=dcx700_output_rate_meters_per_second"
result=""
# The demo process rises and soaks before it deposits: wait for a rate.
for _ in $(seq 1 300); do
  result="$(curl -sf "$query" 2>/dev/null)" && grep -q '"output":"4"' <<<"$result" &&
    grep -qE '"value":\[[0-9.]+,"[1-9]' <<<"$result" && break
  result=""
  sleep 0.2
done
[ -n "$result" ] || fail "Prometheus returned no output rates"
status="$(curl -sf "${url}api/status")" || fail "GET /api/status"
python3 - "$result" "$status" <<'PY' || fail "Prometheus and the simulator disagree"
import json, sys
series = json.loads(sys.argv[1])["data"]["result"]
status = json.loads(sys.argv[2])
prom = {s["metric"]["output"]: float(s["value"][1]) * 1e10 for s in series}
for k, out in enumerate(status["outputs"], start=1):
    got, want = prom[str(k)], out["rate"]
    # One scrape apart at most: within 10 % or 0.3 A/s.
    if abs(got - want) > max(0.3, 0.1 * abs(want)):
        sys.exit(f"output {k}: Prometheus {got:.3f} A/s, simulator {want:.3f} A/s")
    print(f"ok: output {k} rate {got:.2f} A/s (simulator {want:.2f})")
if not any(v > 0 for v in prom.values()):
    sys.exit("no output deposits: the simulated run did not start")
PY

# 3. Headless Chromium runs the page's script and shows the phase.
phase="$(python3 -c 'import json,sys; print(json.loads(sys.argv[1])["phase_text"])' "$status")"
chrome=(chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run
  --disable-background-networking --disable-component-update --disable-sync
  --user-data-dir="$work/chrome" --virtual-time-budget=3000)
"${chrome[@]}" --dump-dom "$url" >"$work/dom.html" 2>"$work/chrome.log" || fail "chromium --dump-dom"
grep -q '<span class="field" id="phase">[A-Za-z]' "$work/dom.html" || fail "the page shows no phase text"
grep -q 'id="outputs"><tr' "$work/dom.html" || fail "the page shows no outputs table"
echo "ok: page phase $(grep -o 'id="phase">[^<]*' "$work/dom.html") (status said $phase)"
"${chrome[@]}" --window-size=820,620 --screenshot="$shot" "$url" >>"$work/chrome.log" 2>&1 || fail "chromium --screenshot"
file "$shot" | grep -q "PNG image" || fail "no screenshot"
echo "ok: screenshot $shot"
