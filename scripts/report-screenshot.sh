#!/usr/bin/env bash
# Makes the README's pictures of the HTML page, docs/images/demo-report.png (the
# demo) and docs/images/destination-panel-report.png (the panel of four buttons):
# builds panelhost and Quillon in build/demo where anything is missing, then runs
# the browser test of the page (tests/panelhost_tests/report_in_browser.cmake),
# which writes both pages, checks them in headless Chromium and screenshots them
# 1280 px wide. Needs chromium and xmllint (scripts/install-deps.sh installs both).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh demo
for tool in chromium xmllint; do
    if ! command -v "$tool" >/dev/null; then
        echo "report-screenshot: $tool is missing; scripts/install-deps.sh installs it" >&2
        exit 2
    fi
done
if [[ ! -f build/demo/build.ninja ]]; then
    cmake --preset demo >/dev/null
fi
cmake --build --preset demo --target panelhost quillon >/dev/null
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# Paths as a reader would type them, for the page that the picture shows.
cmake -DPANELHOST=build/demo/bin/panelhost -DLIBRARY=build/demo/bin/libquillon.so \
    -DUI=build/demo/bin/ui -DDEMO=examples/demo.scenario \
    -DPANEL=examples/destination-panel.scenario \
    -DFAILING=tests/panelhost_tests/report/failing.scenario -DFAILING_LINE=10 \
    -DBROWSER=scripts/headless-chromium.sh -DOUT="$out" \
    -P tests/panelhost_tests/report_in_browser.cmake
mkdir -p docs/images
cp "$out/demo-report.png" docs/images/demo-report.png
cp "$out/destination-panel-report.png" docs/images/destination-panel-report.png
echo "report-screenshot: docs/images/demo-report.png, docs/images/destination-panel-report.png"
