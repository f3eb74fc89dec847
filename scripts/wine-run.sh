#!/bin/bash
# Runs a Windows program under Wine in the build's private prefix (made complete on first use)
# on the current display; the tests and benchmarks of the cross build run through this.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
ensure_wine_prefix
# Start the Wine services with their output away from our pipes: services started by the first
# wine of a pipeline keep the pipe open after the program has exited.
wine cmd /c exit >/dev/null 2>&1 </dev/null
exec wine "$@"
