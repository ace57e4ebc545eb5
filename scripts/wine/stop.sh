#!/usr/bin/env bash
# Stops the Wine server of one architecture's prefix (win32 or win64).
set -uo pipefail
source "$(dirname "$0")/env.sh" "${1:?usage: stop.sh win32|win64}"
"$QUILLON_WINESERVER" -k >/dev/null 2>&1 || true
