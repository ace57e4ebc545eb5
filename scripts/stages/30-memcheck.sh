#!/usr/bin/env bash
# Valgrind memcheck over the native GoogleTest binaries that the test command has
# built (build/native/bin/*_tests): any invalid read or write, use of an
# uninitialised value, or definite or indirect leak fails the stage.
#
# Left out: allocation_tests, which replaces malloc and its kin in the executable
# with forwarders to the C library's own entry points; memcheck's allocator does
# not pass through them, so its allocation counts come out wrong and it fails.
# The panel host's tests may fork a watched child: memcheck follows the child in
# the same process image and keeps its reports apart (--child-silent-after-fork).
# QUILLON_MEMCHECK_DIR names another build folder (default build/native).
set -euo pipefail
cd "$(dirname "$0")/../.."

bin="${QUILLON_MEMCHECK_DIR:-build/native}/bin"
skip_pattern='^allocation_tests$'

if ! command -v valgrind >/dev/null; then
    echo "memcheck: valgrind is not installed" >&2
    exit 1
fi

shopt -s nullglob
binaries=("$bin"/*_tests)
if ((${#binaries[@]} == 0)); then
    echo "memcheck: no test binaries in $bin; build the native preset first" >&2
    exit 1
fi

logs=$(mktemp -d "${TMPDIR:-/tmp}/quillon-memcheck.XXXXXX")
failed=()
start=$SECONDS
for binary in "${binaries[@]}"; do
    name=$(basename "$binary")
    [[ -x $binary && ! -d $binary ]] || continue
    if [[ $name =~ $skip_pattern ]]; then
        echo "--- $name: left out"
        continue
    fi
    began=$SECONDS
    status=0
    # The soak runs a shorter sequence here: memcheck makes it some 50 times slower.
    QUILLON_SOAK_EVENTS=${QUILLON_SOAK_EVENTS:-20000} timeout 600 valgrind --quiet --error-exitcode=1 \
        --leak-check=full --errors-for-leak-kinds=definite,indirect \
        --show-leak-kinds=definite,indirect --track-origins=yes --child-silent-after-fork=yes \
        --log-file="$logs/$name.valgrind" \
        "$binary" --gtest_brief=1 >"$logs/$name.out" 2>&1 || status=$?
    echo "--- $name: exit $status, $((SECONDS - began)) s"
    if ((status != 0)); then
        failed+=("$name")
        tail -n 30 "$logs/$name.out" >&2
        cat "$logs/$name.valgrind" >&2
    fi
done
echo "memcheck: $((SECONDS - start)) s in all"
if ((${#failed[@]} != 0)); then
    echo "memcheck failed: ${failed[*]} (logs in $logs)" >&2
    exit 1
fi
rm -rf "$logs"
