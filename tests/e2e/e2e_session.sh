#!/usr/bin/env bash
# Drives the real program as a user would, on its own virtual screen with a
# window manager: drag a corner, undo and redo it, type coordinates, choose a blend factor, untick
# a flag, File New. Checks the screen's pixels after each step.
# Usage: e2e_session.sh <path to skimbler>
set -euo pipefail

source "$(dirname "$0")/e2e_common.sh"

openbox > /dev/null 2>&1 &
wm=$!
sleep 1
(cd "$work" && exec "$skimbler") > "$work/log" 2>&1 &
app=$!

for _ in $(seq 60); do
    [ -s "$work/geometry" ] && break
    sleep 0.5
done
[ -s "$work/geometry" ] || fail "the program did not come up: $(cat "$work/log")"
sleep 1
kill -0 "$app" || fail "the program exited"

geometry() { # name -> "x y w h"
    awk -v n="$1" '$1 == n { print $2, $3, $4, $5 }' "$work/geometry"
}

shot() { sleep 0.5; import -window root "$work/shot.png"; }
pixel() { # x y -> "r g b"
    convert "$work/shot.png" -format "%[fx:int(255*p{$1,$2}.r+0.5)] %[fx:int(255*p{$1,$2}.g+0.5)] %[fx:int(255*p{$1,$2}.b+0.5)]\n" info:
}
near() { [ $(( $1 > $2 ? $1 - $2 : $2 - $1 )) -le "$3" ]; }
click() { xdotool mousemove "$1" "$2"; sleep 0.2; xdotool click "${3:-1}"; }
# expect <what> <x> <y> <condition on r g b>: polls the screen for a while,
# since a slow machine may take a moment to redraw.
expect() {
    local what=$1 x=$2 y=$3 condition=$4
    for _ in $(seq 16); do
        shot
        read -r r g b < <(pixel "$x" "$y")
        if eval "$condition"; then
            echo "ok: $what ($r $g $b)"
            return 0
        fi
    done
    fail "$what ($r $g $b)"
}

read -r vx vy vw vh < <(geometry view) || fail "no view geometry"
echo "view at $vx,$vy size ${vw}x${vh}"

# A grey checkerboard cell near the top-right corner and one near the
# bottom-left corner (the tiling starts grey at the bottom-left).
grey_cell() { # approximate view x, y -> screen x y of a grey cell centre
    local i=$(( $1 / 16 )) j=$(( (vh - 1 - $2) / 16 ))
    [ $(( (i + j) % 2 )) -eq 0 ] || i=$(( i - 1 ))
    echo $(( vx + 16 * i + 8 )) $(( vy + vh - 1 - (16 * j + 8) ))
}
read -r tx ty < <(grey_cell $(( vw - 40 )) 40)
read -r bx by < <(grey_cell 40 $(( vh - 40 )))

expect "the blue quad covers the top-right" "$tx" "$ty" 'near "$r" 192 4 && near "$b" 255 4'

# 1. Drag corner 2 (top-right) to the middle of the view.
xdotool mousemove $(( vx + vw - 3 )) $(( vy + 2 ))
sleep 0.3
xdotool mousedown 1
for step in 1 2 3 4; do
    xdotool mousemove $(( vx + vw - 3 - step * (vw / 2 - 3) / 4 )) $(( vy + 2 + step * (vh / 2 - 2) / 4 ))
    sleep 0.2
done
xdotool mouseup 1
expect "the dragged corner left the top-right" "$tx" "$ty" 'near "$r" 192 4 && near "$b" 192 4'

# 1b. Ctrl+Z takes the whole drag back in one step; Ctrl+Y does it again.
xdotool key ctrl+z
expect "Ctrl+Z undoes the whole drag" "$tx" "$ty" 'near "$r" 192 4 && near "$b" 255 4'
xdotool key ctrl+y
expect "Ctrl+Y redoes the drag" "$tx" "$ty" 'near "$r" 192 4 && near "$b" 192 4'

# 2. Type the corner back: X = 1.3333334, Y = 1.
read -r x y w h < <(geometry x)
xdotool mousemove $(( x + w / 2 )) $(( y + h / 2 )) click --repeat 3 1
sleep 0.3
xdotool type --delay 50 "1.333334"
xdotool key Return
read -r x y w h < <(geometry y)
xdotool mousemove $(( x + w / 2 )) $(( y + h / 2 )) click --repeat 3 1
sleep 0.3
xdotool type --delay 50 "1"
xdotool key Return
expect "typed coordinates put the corner back" "$tx" "$ty" 'near "$r" 192 4 && near "$b" 255 4'

# 3. DestFactor := GL_ZERO: the quad no longer adds the checkerboard.
read -r x y w h < <(geometry property10)
click $(( x + w / 2 )) $(( y + h / 2 ))
sleep 0.5
xdotool key Home
sleep 0.2
xdotool key Return
expect "GL_ZERO drops the checkerboard" "$tx" "$ty" '[ "$r" -le 10 ] && [ "$b" -ge 200 ]'
expect "the green corner darkens the blue image" "$bx" "$by" '[ "$b" -le 80 ]'

# 4. Untick SURFACE_FLAG_COLORS: every corner white again.
read -r x y w h < <(geometry flag2)
click $(( x + 10 )) $(( y + h / 2 ))
expect "without corner colours the image is blue" "$bx" "$by" '[ "$b" -ge 200 ] && [ "$r" -le 10 ]'

# 5. File New with Ctrl+N after a click into the view; discard the changes.
click $(( vx + vw / 2 + 40 )) $(( vy + vh / 2 + 40 ))
xdotool key ctrl+n
# The document was edited, so New asks first: discard the changes.
question=$(wait_for_box)
[ -n "$question" ] || fail "File New did not ask about the unsaved changes"
xdotool windowactivate --sync "$question" 2>/dev/null || true
xdotool key alt+d
expect "File New restores the surface" "$tx" "$ty" 'near "$r" 192 4 && near "$b" 255 4'
expect "File New restores the blend factors" "$bx" "$by" 'near "$r" 192 6'

kill -0 "$app" || fail "the program died"
echo "e2e: 10 passed, 0 failed"
