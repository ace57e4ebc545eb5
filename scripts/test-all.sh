#!/usr/bin/env bash
# The one test command: installs what is missing, then configures, builds and
# runs every test suite natively, under the sanitizers, and as 32-bit Windows
# binaries under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
export QUILLON_ROOT="$PWD"

scripts/install-deps.sh

for preset in native sanitize; do
    echo "=== $preset: configure, build, test"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done

echo "=== windows: configure, build, test under Wine"
source scripts/wine-env.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset windows
wineserver -k || true

for stage in scripts/stages/*.sh; do
    [[ -e "$stage" ]] || continue
    echo "=== $(basename "$stage" .sh)"
    bash "$stage"
done
echo "=== all test stages passed"
