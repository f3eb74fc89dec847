#!/bin/bash
# The release zip: builds it, checks its file list, unpacks it into an empty folder and has the
# end-to-end test start the tool from there under Wine.
# Usage: package_test.sh BUILD_DIR PACKAGE_NAME VERSION
set -euo pipefail
build="$(cd "$1" && pwd)"
name="$2"
version="$3"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

cmake --build "$build" --target package >/dev/null
zip="$build/$name.zip"
[ -f "$zip" ] || { echo "no package at $zip"; exit 1; }

expected="$name/HAND-M.CUR
$name/LICENSE.txt
$name/README.md
$name/Tessivane.exe
$name/skins/Harbour.cjs
$name/tessivane-cli.exe"
listed=$(cmake -E tar tf "$zip" | grep -v '/$' | LC_ALL=C sort)
if [ "$listed" != "$expected" ]; then
    echo "The package holds:"
    echo "$listed"
    echo "but should hold:"
    echo "$expected"
    exit 1
fi
echo "$name.zip holds the expected $(wc -l <<<"$listed") files"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
(cd "$unpacked" && cmake -E tar xf "$zip")
# The tool's folder as Wine shows it: the Unix root is drive Z.
folder="Z:$(sed 's|/|\\|g' <<<"$unpacked/$name")"
TESSIVANE_PACKAGE_DIR="$folder" TESSIVANE_PACKAGE_VERSION="$version" \
    "$here/../../scripts/wine-run.sh" "$build/e2e_tests.exe" --gtest_brief=1 \
    --gtest_filter='PackageE2e.*'
