#!/bin/bash
# Picking with the X server's own pointer and keys, as a user does it: xdotool clicks, drags and
# presses Esc over the pick fixture while the tool picks, and tessivane-cli reads back the tool's
# results and status line and the fixture's button, whose text records a click on it.
# Usage: pick_pointer_test.sh BUILD_DIR, on a display and Wine prefix of its own (own-desktop.sh).
set -uo pipefail
build="$(cd "$1" && pwd)"
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env.sh"
tool="Tessivane Window Text Reader 2021"
fixture="Tessivane Fixture Pick"
failures=0

# Prints what a window shows in a dump of the window titled $1: of the first window of class $2
# whose text starts with $3 (or whose control id is $3), its rectangle's middle ("x y"), its text,
# or the count of its items' rows, as $4 says.
shown() {
    wine "$build/tessivane-cli.exe" dump --title "$1" --items -f json 2>/dev/null </dev/null |
        python3 -c '
import json, sys
kind, key, what = sys.argv[1:4]
def walk(window):
    yield window
    for child in window.get("children", []):
        yield from walk(child)
for window in walk(json.load(sys.stdin)["window"]):
    if window["class"] == kind and (window["text"].startswith(key) or str(window["controlId"]) == key):
        rect = window["rect"]
        if what == "middle":
            print((rect["left"] + rect["right"]) // 2, (rect["top"] + rect["bottom"]) // 2)
        elif what == "rows":
            print(len(window.get("items", {}).get("rows", [])))
        else:
            print(window["text"])
        break' "$2" "$3" "$4" 2>/dev/null
}
results() { shown "$tool" SysListView32 103 rows; }
button() { shown "$fixture" Button "Pick button" text; }

check() {
    if [ "$2" = "$3" ]; then
        echo "ok: $1"
    else
        echo "FAILED: $1: expected \"$2\", got \"$3\""
        failures=$((failures + 1))
    fi
}
# Polls the command $3 for up to 20 seconds until it prints $2, then checks it.
check_soon() {
    for _ in $(seq 40); do
        [ "$($3)" = "$2" ] && break
        sleep 0.5
    done
    check "$1" "$2" "$($3)"
}
# Clicks at x y after resting there a moment, as a hand does.
click_at() {
    xdotool mousemove "$1" "$2"
    sleep 0.3
    xdotool click 1
    sleep 0.5
}
# Puts the tool in front with a click on its window list and starts picking with its key.
start_picking() {
    click_at $list
    xdotool key ctrl+d
    sleep 0.5
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
wine cmd /c exit >/dev/null 2>&1 </dev/null
wine "$build/TargetFixture.exe" pick "Z:$(sed 's|/|\\|g' <<<"$scratch/truth.txt")" \
    >/dev/null 2>&1 </dev/null &
wine "$build/Tessivane.exe" >/dev/null 2>&1 </dev/null &
for _ in $(seq 120); do
    [ -s "$scratch/truth.txt" ] && [ -n "$(shown "$tool" SysListView32 101 middle)" ] && break
    sleep 0.5
done
list=$(shown "$tool" SysListView32 101 middle)
target=$(shown "$fixture" Button "Pick button" middle)
[ -n "$list" ] && [ -n "$target" ] || { echo "FAILED: the tool or the fixture did not start"; exit 1; }
rows=$(wc -l <"$scratch/truth.txt")
check "the tool starts with no results" 0 "$(results)"

start_picking
xdotool mousemove $target
sleep 0.5
xdotool click 1
check_soon "a click while picking extracts the window under it" "$rows" results
check "the click that picked did not reach the button" "Pick button" "$(button)"
check "the status line counts the rows" "$rows rows, none ticked" \
    "$(shown "$tool" msctls_statusbar32 104 text)"

click_at $(shown "$tool" Button "Clear Results" middle)
check_soon "Clear Results empties the results" 0 results
read -r x y <<<"$(shown "$tool" Static 105 middle)"
read -r to_x to_y <<<"$(shown "$fixture" Edit "Pick nested edit" middle)"
xdotool mousemove "$x" "$y"
sleep 0.3
xdotool mousedown 1
for step in 1 2 3 4 5 6; do
    xdotool mousemove $((x + (to_x - x) * step / 6)) $((y + (to_y - y) * step / 6))
    sleep 0.1
done
sleep 0.5
xdotool mouseup 1
check_soon "a drag from the finder mark extracts the window it ends on" "$rows" results

click_at $(shown "$tool" Button "Clear Results" middle)
check_soon "Clear Results empties the results again" 0 results
start_picking
xdotool mousemove $target
sleep 0.5
xdotool key Escape
sleep 0.5
xdotool click 1
check_soon "after Esc a click reaches the button" "Pick button clicked" button
check "Esc picked nothing" 0 "$(results)"

[ "$failures" -eq 0 ] && echo "All picking checks passed" && exit 0
echo "$failures picking checks failed"
exit 1
