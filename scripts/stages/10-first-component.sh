#!/usr/bin/env bash
# A component of one's own, the way the README's first hour goes, from the builds
# the test command has made:
#  1. the native kit installed to a prefix; `panelhost new Beacon beacon` in an
#     empty folder, which names that prefix in the commands it prints; the
#     starter configured against the prefix, built, and its tests (its scenario
#     and panelhost validate) passed;
#  2. a CMake project that adds this one with add_subdirectory configures and
#     builds the same component;
#  3. the Microsoft-mode kits (build/windows64-msvc, build/windows-msvc)
#     installed with their panelhost.exe, the same starter built with their
#     clang-cl toolchains into a DLL that the static import check passes beside
#     the framework DLLs the build copied, and its CTest tests run under Wine in
#     the build's private prefix: passing, then failing with the import check's
#     message once those copies are gone. The i686 tests run where the kernel
#     executes 32-bit programs; elsewhere one line says why not. The x86-64
#     kit's panelhost.exe, run through the kit's tarn-wine, names the kit's
#     prefix in the commands `panelhost new` prints (as Wine shows it to a
#     Windows program: Z: and the Linux path).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
work=$(mktemp -d)
work=$(realpath "$work")
wine_started=()
finish() {
    for arch in "${wine_started[@]}"; do
        scripts/wine/stop.sh "$arch"
    done
    rm -rf "$work"
}
trap finish EXIT

say() { echo "first component: $*"; }
fail() {
    echo "first component: $*" >&2
    exit 1
}

say "installing the native kit to $work/kit"
cmake --install build/native --prefix "$work/kit" >/dev/null
mkdir "$work/mine"
printed=$(cd "$work/mine" && "$work/kit/bin/panelhost" new Beacon beacon)
echo "$printed"
grep -qxF "    cmake -S beacon -B beacon/build -DCMAKE_PREFIX_PATH=$work/kit" <<<"$printed" ||
    fail "panelhost new did not name the kit's prefix $work/kit"
grep -qF -- "-DCMAKE_PREFIX_PATH=$work/kit" "$work/mine/beacon/CMakeLists.txt" ||
    fail "the starter's CMakeLists.txt does not name the kit's prefix"
if (cd "$work/mine" && "$work/kit/bin/panelhost" new Beacon beacon 2>/dev/null); then
    fail "panelhost new wrote over a folder that is not empty"
fi
say "building the starter against the installed kit"
cmake -S "$work/mine/beacon" -B "$work/mine/beacon/build" -G Ninja \
    -DCMAKE_PREFIX_PATH="$work/kit" >/dev/null
cmake --build "$work/mine/beacon/build" >/dev/null
ctest --test-dir "$work/mine/beacon/build" --output-on-failure --no-tests=error

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

# The starter built in Microsoft mode against the installed kit of one
# architecture: ARCH (win32|win64), the kit's build, its toolchain's architecture.
microsoft_mode() {
    local arch=$1 kit_build=$2 toolchain=$3
    local kit="$work/kit-$arch" build="$work/mine/beacon/build-$arch"
    say "$arch: installing the Microsoft-mode kit from $kit_build"
    cmake --install "$kit_build" --prefix "$kit" >/dev/null
    [[ -f $kit/bin/panelhost.exe && -x $kit/bin/tarn-wine ]] ||
        fail "$arch: the Microsoft-mode kit has no panelhost.exe or tarn-wine"
    say "$arch: building the starter in Microsoft mode"
    cmake -S "$work/mine/beacon" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_PREFIX_PATH="$kit" \
        -DCMAKE_TOOLCHAIN_FILE="$kit/lib/cmake/TarnKit/toolchains/clang-msvc-$toolchain.cmake" \
        >/dev/null
    cmake --build "$build" >/dev/null
    # The framework DLLs the build copied beside the component satisfy every
    # import, as a Windows host's loader would check them.
    bash tests/binary/check_msvc_dlls.sh "$arch" "$build/beacon.dll" "$build"

    local reason
    if [[ $arch == win32 ]] && reason=$(scripts/wine/no-32bit-reason.sh); then
        say "$arch: the starter's tests under Wine not run: $reason; only its static check ran"
        return
    fi
    say "$arch: the starter's tests under Wine, through the kit's tarn-wine"
    scripts/wine/prepare.sh "$arch"
    wine_started+=("$arch")
    local prefix="$root/build/wineprefix-$arch"
    if [[ $arch == win64 ]]; then
        mkdir "$work/mine-$arch"
        printed=$(cd "$work/mine-$arch" &&
            WINEPREFIX=$prefix "$kit/bin/tarn-wine" "$kit/bin/panelhost.exe" new Beacon beacon)
        grep -qF -- "-DCMAKE_PREFIX_PATH=Z:$kit" <<<"$printed" ||
            fail "$arch: panelhost.exe new did not name the kit's prefix Z:$kit: $printed"
    fi
    WINEPREFIX=$prefix ctest --test-dir "$build" --output-on-failure --no-tests=error
    say "$arch: without the framework DLLs beside the component, the same tests must fail"
    rm "$build/tarn_string.dll" "$build/tarn_config.dll"
    local output
    if output=$(WINEPREFIX=$prefix ctest --test-dir "$build" --output-on-failure 2>&1); then
        echo "$output"
        fail "$arch: the starter's tests passed without the framework DLLs"
    fi
    # Both tests, each with the import check's words: the scenario refused
    # before loading, validate failing VL0.
    if [[ $(grep -cF "DLL not found: tarn_string.dll" <<<"$output") -lt 2 ]] ||
        ! grep -qF "FAIL  VL0 imports-resolve" <<<"$output"; then
        echo "$output"
        fail "$arch: the failures do not name the missing tarn_string.dll in both tests"
    fi
}

microsoft_mode win64 build/windows64-msvc x86_64
microsoft_mode win32 build/windows-msvc i686
say "passed"
