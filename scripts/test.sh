#!/usr/bin/env bash
# Builds Skimbler with warnings as errors and runs every test; the OpenGL
# tests run under a virtual X display.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${SKIMBLER_BUILD_DIR:-$root/build-test}"

bash "$root/scripts/setup-debian.sh"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSKIMBLER_WERROR=ON -DSKIMBLER_BUILD_TESTS=ON ${SKIMBLER_CMAKE_ARGS:-}
cmake --build "$build" --parallel "$(nproc)"

cd "$build"
export QT_QPA_PLATFORM=xcb
export LIBGL_ALWAYS_SOFTWARE=1
xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --output-on-failure --timeout 300 -j "$(nproc)"
