#!/usr/bin/env bash
# Fuzz smoke: every libFuzzer target for 20 seconds on a copy of its seed corpus.
# Any crash, sanitizer report, failed check, timeout or memory blow-up fails it.
set -euo pipefail
exec "$(dirname "$0")/../fuzz-run.sh" 20
