#!/bin/bash
# Every C++ file of the sources, tests, benchmarks and tools is as clang-format (with the tree's
# .clang-format) writes it; each file that is not is named with the first difference.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
mapfile -t files < <(find src tests bench tools -name node_modules -prune -o \
    \( -name '*.cpp' -o -name '*.h' \) -print | LC_ALL=C sort)
[ ${#files[@]} -gt 0 ] || { echo "no C++ files found"; exit 1; }
if ! clang-format --dry-run --Werror "${files[@]}"; then
    echo "run clang-format -i on the files named above"
    exit 1
fi
echo "${#files[@]} files as clang-format writes them"
