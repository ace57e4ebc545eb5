#!/usr/bin/env bash
# Instructions per operation for every benchmark case and its baseline, counted by
# callgrind: each is run ITERATIONS times and 0 times, and the difference divided
# by ITERATIONS is what one operation costs, without the program's start-up.
# Instruction counts do not depend on the machine's load, so the figures repeat.
#
#   scripts/callgrind.sh [CASE...]     (all cases without arguments)
#   ITERATIONS=1000 by default
set -euo pipefail
cd "$(dirname "$0")/.."

iterations=${ITERATIONS:-1000}
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
driver=build/bench/bin/quillon_opcount

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Total instructions of one run of the driver.
instructions() {
    valgrind --tool=callgrind --callgrind-out-file="$work/out" "$driver" "$@" >/dev/null 2>&1
    awk '/^summary:/ { print $2 }' "$work/out"
}

# Instructions per operation, to one decimal.
per_operation() {
    local name=$1
    shift
    local many none
    many=$(instructions "$name" "$iterations" "$@")
    none=$(instructions "$name" 0 "$@")
    awk -v many="$many" -v none="$none" -v n="$iterations" \
        'BEGIN { printf "%.1f", (many - none) / n }'
}

if [ $# -gt 0 ]; then
    cases=("$@")
else
    mapfile -t cases < <("$driver" --list)
fi

printf '%-30s %14s %14s %7s\n' "case" "instr/op" "baseline" "ratio"
for name in "${cases[@]}"; do
    measured=$(per_operation "$name")
    minimal=$(per_operation "$name" baseline)
    awk -v name="$name" -v measured="$measured" -v minimal="$minimal" \
        'BEGIN { printf "%-30s %14.1f %14.1f %7.2f\n", name, measured, minimal, measured / minimal }'
done
