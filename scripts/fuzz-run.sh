#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz preset) and runs each one for a bounded time
# on a copy of its seed corpus, so the repository is never written. Fails when a
# target reports a finding; the finding is kept in the work folder, whose path
# is printed. Usage: scripts/fuzz-run.sh SECONDS_PER_TARGET [TARGET...]
# Each target's last status line (executions, coverage, features, corpus) is
# printed, and a summary table at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:?seconds per target}
shift
targets=("$@")
if ((${#targets[@]} == 0)); then
    targets=(command_text decode strings config component)
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzzers

work=$(mktemp -d "${TMPDIR:-/tmp}/quillon-fuzz.XXXXXX")
failed=()
summary=()
for target in "${targets[@]}"; do
    corpus="$work/$target/corpus"
    mkdir -p "$corpus" "$work/$target/findings"
    cp fuzz/corpus/"$target"/* "$corpus"/
    options=(-max_total_time="$seconds" -print_final_stats=1 -timeout=10
             -artifact_prefix="$work/$target/findings/")
    if [[ $target == component ]]; then
        # The component's diagnostics would flood the log; findings still print.
        options+=(-close_fd_mask=2 -dict=fuzz/component.dict)
    fi
    echo "--- fuzz_$target: ${seconds}s"
    log="$work/$target/log"
    status=0
    TMPDIR="$work/$target" build/fuzz/bin/fuzz_"$target" "${options[@]}" "$corpus" \
        >"$log" 2>&1 || status=$?
    grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)' "$log" || true
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    line=$(grep -E '^#[0-9]+[[:space:]]' "$log" | tail -1 || true)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$line")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$line")
    findings=$(find "$work/$target/findings" -type f | wc -l)
    summary+=("$(printf '%-18s %12s %6s %7s %9s' "fuzz_$target" "${runs:-?}" "${cov:-?}" \
        "${ft:-?}" "$findings")")
    if ((status != 0 || findings != 0)); then
        echo "fuzz_$target: FINDING (exit $status); log and input in $work/$target" >&2
        grep -E 'ERROR|fuzz check failed|SUMMARY' "$log" | head -20 >&2 || true
        failed+=("$target")
    fi
done

printf '%-18s %12s %6s %7s %9s\n' target executions cov ft findings
printf '%s\n' "${summary[@]}"
if ((${#failed[@]} != 0)); then
    echo "fuzzing found problems in: ${failed[*]} (kept in $work)" >&2
    exit 1
fi
rm -rf "$work"
