#!/bin/bash
# Runs a Windows test program on a virtual display and in a Wine prefix of its own, both made for
# this run and removed after it, so that test groups run side by side without sharing a desktop,
# a focus, a clipboard, a registry or a Wine server. The prefix is a copy of the build's complete
# one (made first if need be); the display is a new Xvfb on a number it picks itself.
# Usage: own-desktop.sh NAME COMMAND [ARGUMENTS...]; NAME also names the run's scratch folder,
# which the tests find in TESSIVANE_TEST_GROUP.
set -uo pipefail
scripts="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$scripts/wine-env.sh"
ensure_wine_prefix || exit 1
name=$1
shift
own=$(mktemp -d "$WINEPREFIX.$name.XXXXXX")
cleanup() {
    WINEPREFIX="$own" wineserver -k >/dev/null 2>&1
    WINEPREFIX="$own" wineserver -w >/dev/null 2>&1
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -rf "$own"
}
trap cleanup EXIT
# The prefix is 1.3 GB, nearly all of it Wine's programs and libraries, which nothing here writes:
# those are shared as hard links, everything else (the registry, the .ini files, the user's
# folders) is a copy of its own.
cp -al "$WINEPREFIX/." "$own/"
(cd "$WINEPREFIX" && find . -type f ! \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.drv' \
    -o -iname '*.sys' -o -iname '*.ocx' -o -iname '*.cpl' -o -iname '*.acm' -o -iname '*.tlb' \
    -o -iname '*.ax' -o -iname '*.ds' -o -iname '*.nls' -o -iname '*.vxd' -o -iname '*.com' \
    -o -iname '*.msstyles' -o -iname '*.ttf' -o -iname '*.fon' \) -print0 |
    tar --null --warning=no-file-changed -cf - -T -) | (cd "$own" && tar -xf - --unlink-first)
export WINEPREFIX="$own"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$own/.display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$own/.display" ] && break
    sleep 0.05
done
[ -s "$own/.display" ] || { echo "own-desktop: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(tr -d '\n' <"$own/.display")"
export TESSIVANE_TEST_GROUP="$name"
"$@"
