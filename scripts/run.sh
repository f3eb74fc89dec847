#!/bin/bash
# Builds the tool and starts it under Wine. Without a display it runs on a virtual one and
# saves a screenshot of it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh
bash scripts/build.sh
source scripts/display.sh
export WINEPREFIX="$PWD/build/wineprefix"
if [ -n "${TESSIVANE_VIRTUAL_DISPLAY:-}" ]; then
    scripts/wine-run.sh build/win/Tessivane.exe >build/tessivane-run.log 2>&1 &
    sleep 8
    import -window root build/screenshot.png
    echo "The tool runs on the virtual display $DISPLAY; screenshot saved to $PWD/build/screenshot.png"
    wineserver -k
    kill "$TESSIVANE_XVFB_PID"
else
    exec scripts/wine-run.sh build/win/Tessivane.exe
fi
