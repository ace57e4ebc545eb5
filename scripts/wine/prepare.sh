#!/usr/bin/env bash
# Makes the private Wine prefix of one architecture (win32 or win64) and starts
# its persistent Wine server, so that each test process starts in a fraction of a
# second and no install prompt (Mono, Gecko) ever appears. Run it before CTest.
set -euo pipefail
source "$(dirname "$0")/env.sh" "${1:?usage: prepare.sh win32|win64}"
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    mkdir -p "$WINEPREFIX"
    "$QUILLON_WINE" wineboot --init </dev/null >/dev/null 2>&1 || true
    "$QUILLON_WINESERVER" -w || true
fi
"$QUILLON_WINESERVER" -p >/dev/null 2>&1 || true
# The first Wine process of a session starts Wine's own background services,
# which inherit its output; start them here, detached from any test runner's
# pipes, so CTest never waits for them.
"$QUILLON_WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    echo "wine/prepare.sh: could not make the $WINEARCH prefix $WINEPREFIX" >&2
    exit 1
fi
