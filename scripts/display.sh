#!/bin/bash
# Sourced: gives the caller a display, starting a virtual one (Xvfb) when none is set.
if [ -z "${DISPLAY:-}" ]; then
    for number in $(seq 90 120); do
        [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] || break
    done
    Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    TESSIVANE_XVFB_PID=$!
    export DISPLAY=":$number"
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$number" ] && break
        sleep 0.1
    done
    export TESSIVANE_VIRTUAL_DISPLAY=1
fi
