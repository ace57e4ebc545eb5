#!/usr/bin/env bash
# Runs live_in_browser.mjs (beside this script) with the puppeteer-core that
# setup.sh installed into WORK, within 50 seconds. Where there is no chromium,
# no node, or no puppeteer-core could be installed, it says "browser tests
# skipped" and why.
#   run.sh WORK PANELHOST QUILLON CRASHING UI OPENING OUT
set -euo pipefail
work=$1
shift
browser=${CHROMIUM:-$(command -v chromium || command -v chromium-browser || true)}
if [[ -z "$browser" ]]; then
    echo "browser tests skipped: no chromium on this machine (the Debian package chromium)"
    exit 0
fi
if ! command -v node >/dev/null; then
    echo "browser tests skipped: no node on this machine to drive chromium with"
    exit 0
fi
if [[ -e "$work/unavailable" ]]; then
    echo "browser tests skipped: $(cat "$work/unavailable")"
    exit 0
fi
# node finds puppeteer-core beside the script it runs.
cp "$(dirname "$0")/live_in_browser.mjs" "$work/"
CHROMIUM=$browser exec timeout 50 node "$work/live_in_browser.mjs" "$@"
