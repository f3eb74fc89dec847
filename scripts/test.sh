#!/bin/bash
# Builds everything and runs every test layer: unit tests natively and under Wine, end-to-end
# tests driving the real tool under Wine on a (virtual) display, and a benchmark smoke run.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh || exit 1
source scripts/wine-env.sh
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    [ -n "${TESSIVANE_XVFB_PID:-}" ] && kill "$TESSIVANE_XVFB_PID" 2>/dev/null
}
trap cleanup EXIT

passed=0
failed=0
# Runs one build's tests, jobs at a time, into a log of its own. A test that fails is run once
# more (its first failure stays in the log): under Wine a program started while other groups start
# theirs now and then shows no window within a minute, which a second run does not repeat.
run_suite() {
    ctest --test-dir "$1" --output-on-failure -j "$2" --repeat until-pass:2 >"$1/test-run.log" 2>&1
}
# Counts a finished suite's results and shows its log, with the benchmarks' figures that ctest
# keeps in its own log.
count_suite() {
    cat "$1/test-run.log"
    grep -E " x the |MB for the rows|longest wait|of one processor|ms a node" "$1/Testing/Temporary/LastTest.log" || true
    local summary total fails
    summary=$(grep -E "tests passed, [0-9]+ tests? failed out of" "$1/test-run.log" | tail -1)
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
    fails=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$summary")
    if [ -z "$summary" ]; then total=1; fails=1; fi
    passed=$((passed + total - fails))
    failed=$((failed + fails))
}
# The two builds are made at once, and the native tests, mostly processor work, run as soon as
# theirs is made, while the Windows build ends with links that leave a processor idle. Then the
# Windows tests, which mostly wait for windows, each group on a display and in a Wine prefix of
# its own.
rm -f build/native/test-run.log build/win/test-run.log
(bash scripts/build.sh native && run_suite build/native 2) &
native=$!
bash scripts/build.sh win || { wait "$native"; exit 1; }
source scripts/display.sh
ensure_wine_prefix || { wait "$native"; exit 1; }
run_suite build/win 4
wait "$native"
count_suite build/native
count_suite build/win
echo "Screenshots and other test artefacts: build/win/artifacts/"
echo "all layers: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
