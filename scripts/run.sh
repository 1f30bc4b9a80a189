#!/usr/bin/env bash
# Builds Skimbler and starts it in the sample folder with its test card as
# a.tga. Without a display it runs under Xvfb, saves a screenshot and exits.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${SKIMBLER_BUILD_DIR:-$root/build}"

bash "$root/scripts/setup-debian.sh"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKIMBLER_BUILD_TESTS=OFF
cmake --build "$build" --parallel "$(nproc)" --target skimbler make_sample_tga

sample="$build/sample"
mkdir -p "$sample"
[ -f "$sample/a.tga" ] || "$build/tools/make_sample_tga" "$sample/a.tga"
cd "$sample"

if [ -n "${DISPLAY:-}" ]; then
    exec "$build/app/skimbler" "$@"
fi

shot="${SKIMBLER_SCREENSHOT:-$root/skimbler-screenshot.png}"
echo "No display: starting Skimbler under Xvfb; the screenshot goes to $shot"
export LIBGL_ALWAYS_SOFTWARE=1
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    openbox >/dev/null 2>&1 &
    sleep 1
    "$0" "${@:2}" &
    app=$!
    sleep 5
    import -window root "$1"
    kill $app 2>/dev/null || true
    wait $app 2>/dev/null || true
' "$build/app/skimbler" "$shot" "$@"
echo "Screenshot saved: $shot"
