#!/usr/bin/env bash
# The longer fuzz run: every target for 5 minutes (or the seconds given), the
# same way as the smoke stage. Figures of the last run are in fuzz/README.md.
set -euo pipefail
exec "$(dirname "$0")/fuzz-run.sh" "${1:-300}"
