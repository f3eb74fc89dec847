#!/bin/bash
# Runs a Windows program under Wine in the build's private prefix (created on first use) on the
# current display; the tests and benchmarks of the cross build run through this.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export WINEPREFIX="${WINEPREFIX:-$here/../build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >"$WINEPREFIX.boot.log" 2>&1
    wineserver -w
fi
# Start the Wine services with their output away from our pipes: services started by the first
# wine of a pipeline keep the pipe open after the program has exited.
wine cmd /c exit >/dev/null 2>&1 </dev/null
exec wine "$@"
