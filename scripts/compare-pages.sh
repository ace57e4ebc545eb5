#!/usr/bin/env bash
# Compares the HTML pages (--html) two native builds of panelhost write for
# every example and the scenarios the page's tests play, with times (an end
# record's "micros") and addresses (which the loader places anew) masked:
# what a refactor that must not change the page runs against the build it
# started from. The libraries run by file name from
# each build's bin folder, so that no path of either build shows.
#   scripts/compare-pages.sh BASE_BIN NEW_BIN
set -euo pipefail
cd "$(dirname "$0")/.."
base=$(cd "$1" && pwd)
new=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cases=()
for example in examples/*.scenario; do
    cases+=("libquillon.so|$PWD/$example")
done
cases+=("libquillon.so|$PWD/tests/panelhost_tests/report/failing.scenario"
        "libfaulty_component.so|$PWD/tests/panelhost_tests/faulty/audits.scenario")
differ=0
for case in "${cases[@]}"; do
    library=${case%%|*}
    scenario=${case#*|}
    name=$(basename "$scenario" .scenario)
    for side in base new; do
        bin=${!side}
        (cd "$bin" && ./panelhost "$library" "$scenario" --ui ui --html "$work/$side-$name.html" \
            >/dev/null 2>&1) || true
        sed -E -e 's/"micros":[0-9]+/"micros":0/g' -e 's/0x[0-9a-fA-F]+/0x0/g' \
            "$work/$side-$name.html" >"$work/$side-$name.masked"
    done
    if cmp -s "$work/base-$name.masked" "$work/new-$name.masked"; then
        echo "same      $name ($(wc -c <"$work/new-$name.html") bytes)"
    else
        echo "DIFFERENT $name"
        differ=1
    fi
done
exit $differ
