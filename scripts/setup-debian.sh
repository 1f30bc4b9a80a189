#!/usr/bin/env bash
# Installs what building, running and testing Skimbler needs on Debian 12.
# Skips apt entirely when everything is already there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
    qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools linguist-qt6
    qt6-translations-l10n
    libgl-dev libglu1-mesa-dev libgl1-mesa-dri
    nlohmann-json3-dev
    libegl-dev libegl-mesa0 libglfw3-dev
    qt6-image-formats-plugins
    libbenchmark-dev libstb-dev clang
    libvulkan-dev glslang-tools glslc spirv-tools
    g++-mingw-w64-x86-64-posix wine64
    emscripten chromium
    mesa-vulkan-drivers vulkan-tools vulkan-validationlayers
    xvfb xauth openbox xdotool x11-utils imagemagick jq
    python3 python3-jsonschema
    chromium
    fonts-noto-cjk
    desktop-file-utils appstream shared-mime-info dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# node and npm run the glTF validator; a machine with its own node keeps it.
command -v node >/dev/null 2>&1 || missing+=(nodejs)
command -v npm >/dev/null 2>&1 || missing+=(npm)

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq "${missing[@]}"
fi

# The glTF validator and three.js, at the versions package-lock.json pins:
# installed again whenever one is missing or at another version.
gltf_tests="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/tests/gltf"
if ! (cd "$gltf_tests" && node -e '
    const wanted = require("./package.json").dependencies;
    for (const name of Object.keys(wanted))
        if (require(`./node_modules/${name}/package.json`).version !== wanted[name]) process.exit(1);
' 2>/dev/null); then
    (cd "$gltf_tests" && npm ci --no-audit --no-fund)
fi
