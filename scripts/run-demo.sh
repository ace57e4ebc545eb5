#!/usr/bin/env bash
# The run command: builds what is missing of the native preset (installing the
# build's packages first when any are missing), then plays the demo scenario
# against the built component and shows the transcript. The exit status is
# panelhost's: 0 when every expectation held and no breach was found.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
if [[ ! -f build/native/build.ninja ]]; then
    cmake --preset native >/dev/null || exit 2
fi
if ! log=$(cmake --build --preset native --target panelhost quillon 2>&1); then
    echo "$log" >&2
    exit 2
fi

exec build/native/bin/panelhost build/native/bin/libquillon.so examples/demo.scenario "$@"
