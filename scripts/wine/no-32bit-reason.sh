#!/usr/bin/env bash
# Says why 32-bit Windows programs cannot run here and exits 0, or exits 1 when
# they can. Some kernels cannot execute 32-bit programs at all, and Wine's 32-bit
# loader is one. QUILLON_NO_32BIT=1 answers as such a machine would.
set -uo pipefail
if [[ ${QUILLON_NO_32BIT:-0} == 1 ]]; then
    echo "QUILLON_NO_32BIT=1 forces the path of a machine without 32-bit execution"
    exit 0
fi
loader=/usr/lib/wine/wine
if [[ ! -x $loader ]]; then
    echo "Wine's 32-bit loader $loader is not installed"
    exit 0
fi
if ! error=$("$loader" --version 2>&1 >/dev/null); then
    echo "this kernel cannot execute 32-bit programs ($loader: ${error:-no output})"
    exit 0
fi
exit 1
