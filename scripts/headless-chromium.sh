#!/usr/bin/env bash
# Runs headless Chromium once on a page, bounded in time (60 s), with a fresh
# profile that is removed afterwards and nothing fetched in the background; the
# page's scripts get 5 s of virtual time. What the browser says on standard
# error is shown only when it fails.
#   headless-chromium.sh --dump-dom FILE.html > dom.html
#   headless-chromium.sh --screenshot=PNG --window-size=1280,1400 FILE.html
# Exit status 77, with one line, where this machine has no chromium.
set -euo pipefail
browser=${CHROMIUM:-$(command -v chromium || command -v chromium-browser || true)}
if [[ -z "$browser" ]]; then
    echo "headless-chromium: no chromium on this machine (the Debian package chromium)" >&2
    exit 77
fi
page=${*: -1}
options=("${@:1:$#-1}")
[[ "$page" == /* ]] || page="$PWD/$page"
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
status=0
timeout 60 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" --hide-scrollbars --virtual-time-budget=5000 \
    "${options[@]}" "file://$page" 2>"$profile/errors" || status=$?
if ((status != 0)); then
    cat "$profile/errors" >&2
    echo "headless-chromium: chromium ended with status $status" >&2
fi
exit "$status"
