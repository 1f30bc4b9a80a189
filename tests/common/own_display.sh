#!/usr/bin/env bash
# Runs a program on a virtual screen of its own, so that tests run side by side
# never take each other's focus, pointer or window stacking.
# Usage: own_display.sh [--screen WxH] <program> [arguments...]
set -euo pipefail

screen=1280x1024
if [ "${1:-}" = --screen ]; then
    screen=$2
    shift 2
fi

# Xvfb picks a free display number itself and writes it to the pipe: no race
# between tests starting at the same moment.
pipe=$(mktemp -u)
mkfifo "$pipe"
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "${screen}x24" 3> "$pipe" > /dev/null 2>&1 &
server=$!
trap 'kill "$server" 2> /dev/null || true; rm -f "$pipe"' EXIT
read -r number < "$pipe"
export DISPLAY=":$number"
"$@"
