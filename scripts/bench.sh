#!/usr/bin/env bash
# Builds the bench preset and runs the benchmarks, then prints each case's time
# beside its baseline's and the ratio of the two. Times are the median of
# REPETITIONS runs (5 by default), which keeps a shared machine's noise down;
# extra arguments go to the benchmark (e.g. --benchmark_filter=command/).
set -euo pipefail
cd "$(dirname "$0")/.."

repetitions=${REPETITIONS:-5}
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null

results=$(mktemp)
context=$(mktemp)
trap 'rm -f "$results" "$context"' EXIT
if ! build/bench/bin/quillon_bench --benchmark_repetitions="$repetitions" \
    --benchmark_report_aggregates_only=true --benchmark_out_format=json \
    --benchmark_out="$results" "$@" >/dev/null 2>"$context"; then
    cat "$context" >&2
    exit 1
fi
# The machine the figures come from: CPU, caches and load.
grep -E '^(Run on|Load Average)' "$context" || true

python3 - "$results" <<'PY'
import json
import sys

with open(sys.argv[1]) as f:
    runs = json.load(f)["benchmarks"]
median = {}
order = []
for run in runs:
    if run.get("aggregate_name") != "median":
        continue
    name = run["run_name"]
    median[name] = run["real_time"] * {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[run["time_unit"]]
    if not name.endswith("/baseline"):
        order.append(name)

print(f"{'benchmark':30} {'time (ns)':>12} {'baseline (ns)':>14} {'ratio':>7}")
for name in order:
    base = median.get(name + "/baseline")
    if base is None:
        continue
    print(f"{name:30} {median[name]:12.1f} {base:14.1f} {median[name] / base:7.2f}")
PY
