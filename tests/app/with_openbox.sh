#!/usr/bin/env bash
# Runs a test program on a virtual screen of its own, of the given size, with
# a window manager that frames, places and maximises windows as a desktop does.
# Usage: with_openbox.sh <width>x<height> <program> [arguments...]
set -euo pipefail

if [ -z "${WITH_OPENBOX_INNER:-}" ]; then
    export WITH_OPENBOX_INNER=1
    exec bash "$(dirname "$0")/../common/own_display.sh" --screen "$1" bash "$0" "$@"
fi
shift

openbox > /dev/null 2>&1 &
wm=$!
trap 'kill "$wm" 2>/dev/null || true' EXIT
# The window manager announces itself on the root window once it runs.
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q 'window id' && break
    sleep 0.1
done
"$@"
