#!/usr/bin/env bash
# A component of one's own, the way the README's first hour goes, from the builds
# the test command has made:
#  1. the native kit installed to a prefix; `panelhost new Beacon beacon` in an
#     empty folder; the starter configured against the prefix, built, and its
#     tests (its scenario and panelhost validate) passed;
#  2. a CMake project that adds this one with add_subdirectory configures and
#     builds the same component;
#  3. the Microsoft-mode kit (build/windows64-msvc) installed, the same starter
#     built with its clang-cl toolchain into a DLL that the static import check
#     passes and panelhost.exe plays under wine64.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

say() { echo "first component: $*"; }

say "installing the native kit to $work/kit"
cmake --install build/native --prefix "$work/kit" >/dev/null
mkdir "$work/mine"
(cd "$work/mine" && "$work/kit/bin/panelhost" new Beacon beacon)
if (cd "$work/mine" && "$work/kit/bin/panelhost" new Beacon beacon 2>/dev/null); then
    echo "first component: panelhost new wrote over a folder that is not empty" >&2
    exit 1
fi
say "building the starter against the installed kit"
cmake -S "$work/mine/beacon" -B "$work/mine/beacon/build" -G Ninja \
    -DCMAKE_PREFIX_PATH="$work/kit" >/dev/null
cmake --build "$work/mine/beacon/build" >/dev/null
ctest --test-dir "$work/mine/beacon/build" --output-on-failure

say "adding the project with add_subdirectory"
mkdir "$work/sub"
cp "$work/mine/beacon/Beacon.cpp" "$work/mine/beacon/beacon.tarn_ui" "$work/sub/"
cat >"$work/sub/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(WithTheKitInside LANGUAGES C CXX)
add_subdirectory("$root" quillon)
tarn_add_component(beacon SOURCES Beacon.cpp UI beacon.tarn_ui)
CMAKE
cmake -S "$work/sub" -B "$work/sub/build" -G Ninja >/dev/null
cmake --build "$work/sub/build" --target beacon >/dev/null
[[ -f $work/sub/build/libbeacon.so && -f $work/sub/build/ui/beacon.tarn_ui ]]

say "building the starter in Microsoft mode against the installed Microsoft-mode kit"
cmake --install build/windows64-msvc --prefix "$work/kit-msvc" >/dev/null
cmake -S "$work/mine/beacon" -B "$work/mine/beacon/build-msvc" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$work/kit-msvc" \
    -DCMAKE_TOOLCHAIN_FILE="$work/kit-msvc/lib/cmake/TarnKit/toolchains/clang-msvc-x86_64.cmake" \
    >/dev/null
cmake --build "$work/mine/beacon/build-msvc" >/dev/null
deployed="$work/deployed"
mkdir "$deployed"
cp "$work/mine/beacon/build-msvc/beacon.dll" "$work/kit-msvc/bin/"*.dll "$deployed/"
cp -r "$work/mine/beacon/build-msvc/ui" "$deployed/"
cp build/windows64/bin/panelhost.exe "$deployed/"
bash tests/binary/check_msvc_dlls.sh win64 "$deployed/beacon.dll" "$deployed"
scripts/wine/prepare.sh win64
(cd "$deployed" && "$root/scripts/wine/run-win64" ./panelhost.exe beacon.dll \
    "$work/mine/beacon/beacon.scenario")
scripts/wine/stop.sh win64
say "passed"
