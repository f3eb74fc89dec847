#!/bin/bash
# Builds the Windows programs with MinGW-w64 into build/win. With --programs, only the tool, the
# command-line companion and the showcase that pictures the tool at work (no GoogleTest needed);
# otherwise everything: the native core with its unit tests and benchmarks in build/native, and in
# build/win the tests, the benchmarks and the 32-bit target fixture (TargetFixture32.exe, built in
# build/win/fixture32 with the i686 toolchain). With native or win, only that one of the two.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
programs_only=false
[ "${1:-}" = --programs ] && programs_only=true
only=${1:-both}
# The toolchain is chosen once, when the build folder is made; CMake keeps it from then on.
win_options=()
[ -f build/win/CMakeCache.txt ] || win_options=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake)
if $programs_only; then
    # A folder the test command made keeps its tests; a new one is made without them.
    [ -f build/win/CMakeCache.txt ] || win_options+=(-DBUILD_TESTING=OFF)
    cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=Release "${win_options[@]}" >/dev/null
    cmake --build build/win --target Tessivane tessivane-cli showcase
    exit 0
fi
if [ "$only" != win ]; then
    cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON >/dev/null
fi
if [ "$only" != native ]; then
    cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON \
        "${win_options[@]}" >/dev/null
fi
case "$only" in
    native) exec cmake --build build/native ;;
    win) exec cmake --build build/win ;;
esac
# Both builds at once: each leaves processors idle while it links or configures a project of its
# own (the fuzzer, the 32-bit fixture), which the other fills.
cmake --build build/native &
native=$!
cmake --build build/win || { wait "$native"; exit 1; }
wait "$native"
