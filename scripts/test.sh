#!/bin/bash
# Builds everything and runs every test layer: unit tests natively and under Wine, end-to-end
# tests driving the real tool under Wine on a (virtual) display, and a benchmark smoke run.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh || exit 1
bash scripts/build.sh || exit 1
source scripts/display.sh
source scripts/wine-env.sh
ensure_wine_prefix || exit 1
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    [ -n "${TESSIVANE_XVFB_PID:-}" ] && kill "$TESSIVANE_XVFB_PID" 2>/dev/null
}
trap cleanup EXIT

passed=0
failed=0
run_suite() {
    local log
    log=$(mktemp)
    ctest --test-dir "$1" --output-on-failure 2>&1 | tee "$log"
    # The benchmarks' figures, which ctest keeps in its log.
    grep -E " x the |MB for the rows|longest wait|of one processor" "$1/Testing/Temporary/LastTest.log" || true
    local summary
    summary=$(grep -E "tests passed, [0-9]+ tests? failed out of" "$log" | tail -1)
    local total fails
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
    fails=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$summary")
    if [ -z "$summary" ]; then total=1; fails=1; fi
    passed=$((passed + total - fails))
    failed=$((failed + fails))
    rm -f "$log"
}
run_suite build/native
run_suite build/win
echo "Screenshots and other test artefacts: build/win/artifacts/"
echo "all layers: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
