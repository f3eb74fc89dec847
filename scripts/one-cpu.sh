#!/bin/bash
# Runs a Windows benchmark under Wine with it, the programs it starts and the Wine server on one
# processor. With two or more, each message between two processes under Wine waits for the other
# side to wake on whichever processor it sleeps on; in a virtual machine that wake-up costs many
# times the message itself (a GetWindow call took 4 to 5 us on one processor and 12 to 100 us
# across two) and changes from run to run, so the figures would show where the threads were put
# rather than what the programs do. The server is ended before, so that it starts again on that
# processor, and after, so that what runs next has every processor again.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
# The first processor this shell may use ("0-1", "2,5" and the like name them).
cpu=$(taskset -cp $$ | sed -E 's/.*: *//; s/[-,].*//')
taskset -c "$cpu" bash "$(dirname "${BASH_SOURCE[0]}")/wine-run.sh" "$@"
status=$?
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
exit "$status"
