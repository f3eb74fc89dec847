#!/bin/bash
# Builds the tool and starts it under Wine. Without a display it shows the tool at work on a
# virtual one instead: it reads Wine's Registry Editor and saves a picture of the tool's window
# to build/screenshot.png, then stops everything it started.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh
bash scripts/build.sh --programs
if [ -n "${DISPLAY:-}" ]; then
    exec scripts/wine-run.sh build/win/Tessivane.exe
fi

source scripts/display.sh
source scripts/wine-env.sh
stop() {
    wineserver -k >/dev/null 2>&1 || true
    kill "$TESSIVANE_XVFB_PID" 2>/dev/null || true
}
trap stop EXIT
ensure_wine_prefix
rm -f build/screenshot.bmp build/screenshot.png
echo "No display: showing the tool at work on the virtual display $DISPLAY"
# The showcase waits for each window it needs (20 s each) and gives up on the whole in 3 min.
if ! timeout 180 scripts/wine-run.sh build/win/showcase.exe build/screenshot.bmp; then
    echo "The tool could not be shown at work; nothing was saved." >&2
    exit 1
fi
convert build/screenshot.bmp build/screenshot.png
rm -f build/screenshot.bmp
echo "Screenshot of the tool at work saved to $PWD/build/screenshot.png"
