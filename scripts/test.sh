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

export QT_QPA_PLATFORM=xcb
export LIBGL_ALWAYS_SOFTWARE=1

# Core, the model (loader, surface files, document) and the panels once more with
# AddressSanitizer and UndefinedBehaviorSanitizer. Mesa's JIT keeps a few
# allocations to the end, so the OpenGL test runs without leak checking.
if [ "${SKIMBLER_SKIP_SANITIZERS:-0}" != 1 ]; then
    sanitize="${SKIMBLER_SANITIZE_DIR:-$root/build-sanitize}"
    cmake -S "$root" -B "$sanitize" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DSKIMBLER_WERROR=ON -DSKIMBLER_SANITIZE=ON
    model_tests="test_coresurfacefile test_coresettings test_tgaloader test_surface test_surfacefile test_documentloader test_inplaceeditors test_propertypanel test_flagspanel"
    cmake --build "$sanitize" --parallel "$(nproc)" --target $model_tests test_surfaceload_gl
    (
        cd "$sanitize"
        export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
        ASAN_OPTIONS=detect_leaks=1 QT_QPA_PLATFORM=offscreen \
            ctest --output-on-failure --timeout 300 -R "^($(echo $model_tests | tr ' ' '|'))\$"
        ASAN_OPTIONS=detect_leaks=0 xvfb-run -a -s "-screen 0 1280x1024x24" \
            ctest --output-on-failure --timeout 300 -R '^test_surfaceload_gl$'
    )
fi

# Every test of the ordinary build, the OpenGL ones on a virtual display.
cd "$build"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure --timeout 300 -j "$(nproc)"
