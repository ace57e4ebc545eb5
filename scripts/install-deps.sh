#!/usr/bin/env bash
# Installs what a command needs on a Debian machine, as root. Safe to run again:
# it only calls apt-get when something is missing.
#   install-deps.sh demo         what the native build of panelhost and Quillon
#                                needs, and so the native kit
#   install-deps.sh windows-kit  that, and what the Microsoft-mode kits and a
#                                component's Windows tests under wine64 need
#   install-deps.sh [all]        everything the test command uses
set -euo pipefail

demo=(cmake ninja-build g++ nlohmann-json3-dev libcpp-httplib-dev pkg-config)
windows_kit=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools clang lld llvm
             libwine-dev libc++-14-dev wine wine64)
tests=(googletest libgtest-dev libgmock-dev libbenchmark-dev libclang-rt-14-dev valgrind binutils
       lcov libxml2-utils chromium nodejs wine32:i386)

case ${1:-all} in
demo) packages=("${demo[@]}") ;;
windows-kit) packages=("${demo[@]}" "${windows_kit[@]}") ;;
all) packages=("${demo[@]}" "${windows_kit[@]}" "${tests[@]}") ;;
*)
    echo "usage: install-deps.sh [demo|windows-kit|all]" >&2
    exit 2
    ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
    echo "install-deps: missing packages (${missing[*]}); run as root to install them" >&2
    exit 1
fi

echo "install-deps: installing ${missing[*]}"
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}"
