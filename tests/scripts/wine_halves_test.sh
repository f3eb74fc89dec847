#!/bin/bash
# A Wine prefix's completion mark names the halves of Wine (64-bit, 32-bit) it was made with, and
# a prefix made with other halves than those installed now, as one made before the 32-bit half
# was installed, is made anew; with the 32-bit half, the prefix holds the 32-bit system folder.
set -euo pipefail
scripts="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)"
scratch=$(mktemp -d)
export WINEPREFIX="$scratch/prefix"
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$scratch"
}
trap cleanup EXIT
source "$scripts/wine-env.sh"
mark="$WINEPREFIX/.tessivane-complete"
installed=$(wine_halves)

ensure_wine_prefix
if [ "$(cat "$mark")" != "$installed" ]; then
    echo "the mark says \"$(cat "$mark")\", the halves installed are \"$installed\""
    exit 1
fi
if [[ " $installed " == *" i386 "* ]] &&
    [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
    echo "a prefix made with the 32-bit half has no syswow64/kernel32.dll"
    exit 1
fi
echo "new prefix marked \"$installed\""

# As if the prefix had been made while the other halves were installed.
if [ "$installed" = "made with: x86_64" ]; then
    echo "made with: x86_64 i386" >"$mark"
else
    echo "made with: x86_64" >"$mark"
fi
touch "$WINEPREFIX/made-before"
answer=$(bash "$scripts/wine-run.sh" cmd /c echo made anew 2>"$scratch/remake.log" </dev/null |
    tr -d '\r') || true
if [ "$answer" != "made anew" ] || [ -e "$WINEPREFIX/made-before" ] ||
    [ "$(cat "$mark")" != "$installed" ]; then
    echo "the prefix of other halves was not remade: wine answered \"$answer\"," \
        "the mark says \"$(cat "$mark")\""
    cat "$scratch/remake.log" "$WINEPREFIX.boot.log" 2>/dev/null | tail -20
    exit 1
fi
echo "the prefix of other halves was remade and runs programs"
