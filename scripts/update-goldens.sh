#!/usr/bin/env bash
# Writes tests/panelhost_tests/golden/ anew from a native build's panelhost
# (default build/native), for a change that alters panelhost's output on
# purpose: what the test panelhost_outputs_equal_golden compares with. Builds
# what the comparison runs first. Read `git diff tests/panelhost_tests/golden`
# before committing: every difference there is a change a user sees.
#   scripts/update-goldens.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/native}
own=(crash_on_own_button reply_never_back leak_per_command null_lookup_kept reply_back_twice
     deep_stack read_after_give_back write_past_nul)
cmake --build "$build" -j2 --target panelhost quillon faulty_component "${own[@]/#/own_}"
bin=$(cd "$build/bin" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake -DPANELHOST="$bin/panelhost" -DBIN="$bin" -DSOURCE="$PWD" \
    -DGOLDEN="$PWD/tests/panelhost_tests/golden" -DWORK="$work" -DUPDATE=ON \
    -P tests/panelhost_tests/golden_outputs.cmake
