#!/bin/bash
# Installs what the build, the tests and the tool need on Debian 12 (run as root); installs
# nothing when everything is already there.
set -euo pipefail
packages=(cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev
          libcli11-dev nlohmann-json3-dev
          g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 wine32:i386
          xvfb xauth fonts-liberation imagemagick clang libclang-rt-14-dev)
# 32-bit Windows programs (the 32-bit test fixture) run under Wine's i386 half.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
