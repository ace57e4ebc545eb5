#!/usr/bin/env bash
# Line and branch coverage of the library's own code (frame/, the component and
# the stand-ins) by the native test suite: builds the coverage preset (clang,
# source-based coverage), runs every test with LLVM_PROFILE_FILE, merges the
# profiles with llvm-profdata and prints llvm-cov's report. Further arguments go
# to llvm-cov report (for example -show-functions).
set -euo pipefail
cd "$(dirname "$0")/.."

profdata=$(command -v llvm-profdata-14 || command -v llvm-profdata)
cov=$(command -v llvm-cov-14 || command -v llvm-cov)

cmake --preset coverage >/dev/null
cmake --build --preset coverage

build=build/coverage
rm -rf "$build/profiles"
mkdir -p "$build/profiles"
status=0
LLVM_PROFILE_FILE="$PWD/$build/profiles/%p-%m.profraw" ctest --preset coverage >"$build/ctest.log" 2>&1 ||
    status=$?
tail -n 3 "$build/ctest.log"
"$profdata" merge -sparse "$build"/profiles/*.profraw -o "$build/coverage.profdata"

# Every test binary and shared library, the first named plainly, the others
# with -object, as llvm-cov wants them.
arguments=()
for file in "$build"/bin/*_tests "$build"/bin/*.so; do
    [[ -f $file ]] || continue
    if ((${#arguments[@]} == 0)); then
        arguments+=("$file")
    else
        arguments+=(-object "$file")
    fi
done
sources=("$PWD/frame" "$PWD/panels/components/Quillon" "$PWD/stand_ins")

"$cov" report "${arguments[@]}" -instr-profile="$build/coverage.profdata" "$@" "${sources[@]}"
# The lines no test reached, file by file, for the record of what stays uncovered.
"$cov" show "${arguments[@]}" -instr-profile="$build/coverage.profdata" "${sources[@]}" \
    >"$build/coverage.txt"
awk '/^\/.*:$/ { file = $0 } /^ *[0-9]+\| *0\|/ { print file " " $0 }' "$build/coverage.txt" \
    >"$build/uncovered.txt"
echo "coverage: uncovered lines listed in $build/uncovered.txt"
if ((status != 0)); then
    echo "coverage: some tests failed (see $build/ctest.log)" >&2
fi
exit "$status"
