#!/usr/bin/env bash
# Installs what the builds and tests need on a Debian machine, as root. Safe to
# run again: it only calls apt-get when something is missing.
set -euo pipefail

packages=(cmake ninja-build g++ clang lld libclang-rt-14-dev llvm googletest libgtest-dev
          libgmock-dev libbenchmark-dev nlohmann-json3-dev valgrind binutils lcov libxml2-utils
          g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
          libwine-dev libc++-14-dev
          wine wine32:i386 wine64)

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
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}"
