#!/bin/bash
# Sourced: the Wine settings of the build's private prefix, and ensure_wine_prefix, which
# makes sure the prefix is complete before anything runs in it. A prefix is marked complete
# only once wineboot and the wineserver it started have finished; one without the mark (a
# make that was killed half-way, or a prefix from before the mark) is removed and made anew.
# The mark names the halves of Wine (64-bit, 32-bit) the prefix was made with: one made before
# the 32-bit half was installed cannot run 32-bit programs ("could not load kernel32.dll"), so
# a prefix whose halves differ from those installed now is made anew too.
tessivane_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$tessivane_root/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"
unset tessivane_root

# The halves of Wine installed, by the folders of their Windows DLLs (Debian's multiarch
# layout): "x86_64", "i386" or both, as the completion mark holds them.
wine_halves() {
    local halves=() half
    for half in x86_64 i386; do
        [ -d "/usr/lib/$half-linux-gnu/wine/$half-windows" ] && halves+=("$half")
    done
    echo "made with: ${halves[*]}"
}

ensure_wine_prefix() {
    local mark="$WINEPREFIX/.tessivane-complete"
    local halves
    halves=$(wine_halves)
    [ -f "$mark" ] && [ "$(cat "$mark")" = "$halves" ] && return 0
    mkdir -p "$(dirname "$WINEPREFIX")"
    # One maker at a time; a second caller waits and then finds the mark.
    (
        flock 9
        [ -f "$mark" ] && [ "$(cat "$mark")" = "$halves" ] && exit 0
        echo "Making the Wine prefix $WINEPREFIX (about half a minute, once)" >&2
        wineserver -k >/dev/null 2>&1 || true
        # Moved aside first: a killed make may leave a process still writing into the old one.
        if [ -e "$WINEPREFIX" ]; then
            local stale
            stale=$(mktemp -d "$WINEPREFIX.stale.XXXXXX")
            mv "$WINEPREFIX" "$stale/"
            rm -rf "$stale" 2>/dev/null || true
        fi
        mkdir -p "$WINEPREFIX"
        if ! wineboot -i >"$WINEPREFIX.boot.log" 2>&1 </dev/null ||
            ! wineserver -w >>"$WINEPREFIX.boot.log" 2>&1 </dev/null; then
            echo "Making the Wine prefix failed; see $WINEPREFIX.boot.log" >&2
            exit 1
        fi
        echo "$halves" >"$mark"
    ) 9>"$WINEPREFIX.lock"
}
