#!/bin/bash
# Installs what the build, the tests and the tool need on Debian 12 (run as root); installs
# nothing when everything is already there.
set -euo pipefail
packages=(cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev
          libcli11-dev nlohmann-json3-dev
          g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 wine32:i386
          xvfb xauth xdotool fonts-liberation imagemagick clang libclang-rt-14-dev clang-format python3)
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

# The client of serve's end-to-end test: the Model Context Protocol's TypeScript SDK, at the
# versions tests/mcp/package-lock.json locks, on Debian's Node.js. npm ci runs again only when
# the lock file is newer than what it installed.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
    echo "Installing: nodejs npm"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends nodejs npm >/dev/null
fi
mcp_client="$(dirname "${BASH_SOURCE[0]}")/../tests/mcp"
if [ ! "$mcp_client/node_modules/.package-lock.json" -nt "$mcp_client/package-lock.json" ]; then
    npm ci --prefix "$mcp_client" --no-audit --no-fund --loglevel=error
fi
