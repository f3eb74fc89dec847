#!/bin/bash
# Builds the native core with its unit tests and benchmarks, and the Windows programs with
# MinGW-w64, into build/native and build/win; the Windows build also makes the 32-bit target
# fixture (TargetFixture32.exe, built in build/win/fixture32 with the i686 toolchain).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native
# The toolchain is chosen once, when the build folder is made; CMake keeps it from then on.
toolchain=()
[ -f build/win/CMakeCache.txt ] || toolchain=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake)
cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=Release "${toolchain[@]}" >/dev/null
cmake --build build/win
