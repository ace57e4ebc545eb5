#!/usr/bin/env bash
# The run command: installs what the native build needs (when anything is
# missing), builds panelhost and Quillon in build/demo, then plays the demo
# scenario against the built component and shows the transcript. The exit status
# is panelhost's: 0 when every expectation held and no breach was found.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh demo
if [[ ! -f build/demo/build.ninja ]]; then
    echo "run-demo: configuring the native build in build/demo" >&2
    cmake --preset demo >/dev/null || exit 2
fi
echo "run-demo: building panelhost and the Quillon component" >&2
if ! log=$(cmake --build --preset demo --target panelhost quillon 2>&1); then
    echo "$log" >&2
    exit 2
fi
echo "run-demo: playing examples/demo.scenario" >&2
exec build/demo/bin/panelhost build/demo/bin/libquillon.so examples/demo.scenario "$@"
