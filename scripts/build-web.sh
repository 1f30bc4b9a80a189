#!/usr/bin/env bash
# Builds the runtime as WebAssembly with emscripten (Debian's emscripten
# package) into BUILD_DIR (default build-web): BUILD_DIR/examples/web then
# holds skimbler_web.js and the page index.html that draws a surface file.
# Incremental: a second run rebuilds only what changed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(mkdir -p "${1:-$root/build-web}" && cd "${1:-$root/build-web}" && pwd)"

if ! command -v emcmake >/dev/null 2>&1; then
    echo "build-web.sh: emcmake not found (Debian: apt-get install emscripten, or scripts/setup-debian.sh)" >&2
    exit 1
fi

# nlohmann-json is header-only, but its CMake package points at /usr/include,
# whose C headers must not reach emscripten's compiler: a package of our own
# that holds only the json headers.
json="$build/nlohmann-json"
mkdir -p "$json/include"
ln -sfn "$(dirname "$(find /usr/include /usr/local/include -name json.hpp -path '*nlohmann/json.hpp' -print -quit)")" \
    "$json/include/nlohmann"
cat > "$json/nlohmann_jsonConfig.cmake" <<'CONFIG'
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${CMAKE_CURRENT_LIST_DIR}/include)
CONFIG
printf 'set(PACKAGE_VERSION 3)\nset(PACKAGE_VERSION_COMPATIBLE TRUE)\n' > "$json/nlohmann_jsonConfigVersion.cmake"

# emscripten's JavaScript optimiser needs Debian's node modules (acorn), which
# a node installed from elsewhere does not look for.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"

if [ ! -f "$build/build.ninja" ]; then
    emcmake cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DSKIMBLER_RUNTIME_ONLY=ON -DSKIMBLER_BUILD_TESTS=OFF -DSKIMBLER_WERROR=ON \
        -Dnlohmann_json_DIR="$json"
fi
cmake --build "$build" --target skimbler_web --parallel "${SKIMBLER_JOBS:-2}"
echo "build-web.sh: $build/examples/web/index.html"
