#!/usr/bin/env bash
# The set-up of the live page's browser test: installs puppeteer-core into the
# build folder WORK from the package-lock.json beside this script (npm ci),
# once per lock. It never fails: where npm is missing or the registry cannot
# be reached, it leaves the reason in WORK/unavailable, and the test says it
# was skipped.
#   setup.sh SOURCE WORK
set -uo pipefail
source=$1
work=$2
mkdir -p "$work"
rm -f "$work/unavailable"
if [[ -d "$work/node_modules/puppeteer-core" ]] && cmp -s "$source/package-lock.json" "$work/package-lock.json"; then
    exit 0
fi
if ! command -v npm >/dev/null; then
    echo "no npm on this machine to install puppeteer-core with" >"$work/unavailable"
    exit 0
fi
cp "$source/package.json" "$source/package-lock.json" "$work/"
if ! timeout 240 npm ci --prefix "$work" --no-audit --no-fund --prefer-offline >"$work/npm.log" 2>&1; then
    echo "npm ci could not install puppeteer-core: $(tail -n 1 "$work/npm.log")" >"$work/unavailable"
    rm -f "$work/package-lock.json" # tried again next time
fi
exit 0
