# Shared start of the end-to-end scripts; sourced, with the script's own
# arguments: re-runs the script on its own virtual screen, then sets
# $skimbler (the program), $work (a folder removed at exit) with a 64 x 64
# opaque pure blue 32-bit a.tga in it, settings and data kept there, and
# fail(). The script sets $app and $wm to the processes cleanup ends
# (with $app_signal, TERM unless set).
if [ -z "${E2E_INNER:-}" ]; then
    export E2E_INNER=1 LIBGL_ALWAYS_SOFTWARE=1 QT_QPA_PLATFORM=xcb
    exec bash "$(dirname "$0")/../common/own_display.sh" bash "$0" "$@"
fi

skimbler="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
work="$(mktemp -d)"
app=""
wm=""
app_signal="${app_signal:-TERM}"
cleanup() {
    [ -n "$app" ] && kill "-$app_signal" "$app" 2>/dev/null || true
    [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    [ -f "$work/log" ] && cat "$work/log"
    cp "$work/shot.png" "${TMPDIR:-/tmp}/skimbler-e2e-failure.png" 2>/dev/null || true
    exit 1
}

{
    printf '\0\0\2\0\0\0\0\0\0\0\0\0\100\0\100\0\40\10'
    for _ in $(seq 4096); do printf '\377\0\0\377'; done
} > "$work/a.tga"
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" SKIMBLER_GEOMETRY_FILE="$work/geometry"

# Waits up to 20 s for the program's message box (titled "Skimbler") and
# prints its window id; empty if none came.
wait_for_box() {
    local box=""
    for _ in $(seq 80); do
        box=$(xdotool search --onlyvisible --name '^Skimbler$' 2>/dev/null | head -n 1) && [ -n "$box" ] && break
        sleep 0.25
    done
    echo "$box"
}
