#!/bin/bash
# A Wine prefix whose making is killed half-way is not used: the next program run in it finds no
# completion mark, makes the prefix anew and runs.
set -euo pipefail
scripts="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)"
scratch=$(mktemp -d)
export WINEPREFIX="$scratch/prefix"
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$scratch"
}
trap cleanup EXIT

# Start making the prefix, and kill the maker and everything Wine started while it works.
setsid bash "$scripts/wine-run.sh" cmd /c exit >/dev/null 2>&1 </dev/null &
maker=$!
# The registry files appear only near the end; the system folder early, seconds before the end.
for _ in $(seq 200); do
    [ -d "$WINEPREFIX/drive_c/windows/system32" ] && break
    sleep 0.05
done
kill -9 -- "-$maker" 2>/dev/null || true
wineserver -k >/dev/null 2>&1 || true
wait "$maker" 2>/dev/null || true
if [ -f "$WINEPREFIX/.tessivane-complete" ]; then
    echo "the prefix was marked complete although its making was killed"
    exit 1
fi
[ -d "$WINEPREFIX" ] || { echo "the maker was killed before it made anything"; exit 1; }
echo "prefix killed half-made: $(find "$WINEPREFIX" -type f | wc -l) files, no mark"

answer=$(bash "$scripts/wine-run.sh" cmd /c echo made anew 2>"$scratch/remake.log" </dev/null |
    tr -d '\r') || true
if [ "$answer" != "made anew" ] || [ ! -f "$WINEPREFIX/.tessivane-complete" ]; then
    echo "the half-made prefix was not remade: wine answered \"$answer\""
    cat "$scratch/remake.log" "$WINEPREFIX.boot.log" 2>/dev/null | tail -20
    exit 1
fi
echo "the half-made prefix was remade and runs programs"
