#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what the desktop gets:
# the tree, the entry, the file type, the icons and the AppStream data; then
# builds the Debian package and looks inside it.
# Usage: install_check.sh <build folder>   (exit 77: a tool is missing)
set -euo pipefail
build="$1"
id=io.github.skimbler.Skimbler

missing=()
for tool in desktop-file-validate appstreamcli update-mime-database dpkg-deb dpkg-shlibdeps cpack; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -ne 0 ]; then
    echo "SKIP: not installed: ${missing[*]} (scripts/setup-debian.sh installs them)"
    exit 77
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

share="$prefix/share"
expected=(
    bin/skimbler
    "share/applications/$id.desktop"
    "share/mime/packages/$id.xml"
    "share/metainfo/$id.metainfo.xml"
    "share/icons/hicolor/scalable/apps/$id.svg"
    share/icons/hicolor/scalable/mimetypes/application-x-skimbler-surface.svg
    share/doc/skimbler/README.md
    share/doc/skimbler/guide.md
    share/doc/skimbler/copyright
)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png"
               "share/icons/hicolor/${size}x${size}/mimetypes/application-x-skimbler-surface.png")
done
for file in "${expected[@]}"; do
    [ -s "$prefix/$file" ] || fail "$file is not installed"
done
[ -x "$prefix/bin/skimbler" ] || fail "bin/skimbler is not executable"

# Each PNG holds the size its folder names.
for size in 16 48 256; do
    png="$share/icons/hicolor/${size}x${size}/apps/$id.png"
    read -r width height < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4, $7*256+$8}')
    [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "$png is ${width}x${height}"
done

desktop="$share/applications/$id.desktop"
desktop-file-validate "$desktop" || fail "the desktop entry is not valid"
grep -qx 'Exec=skimbler --new %f' "$desktop" || fail "the entry does not start a new surface"
grep -q '^MimeType=.*application/x-skimbler-surface;' "$desktop" || fail "the entry does not open surface files"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" || fail "the metainfo is not valid"

# The file type must compile into the MIME database and claim *.skimbler.
update-mime-database "$share/mime" || fail "the MIME type does not compile"
grep -qx 'application/x-skimbler-surface:\*\.skimbler' "$share/mime/globs" || fail "*.skimbler is not claimed"
grep -qx 'application/x-skimbler-surface:application-x-skimbler-surface' "$share/mime/icons" \
    || fail "the surface type has no icon"

# The package: under /usr, with the libraries the program links as its
# dependencies.
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null) \
    || fail "cpack could not build the package"
deb="$(ls "$work"/package/skimbler_*.deb)"
contents="$(dpkg-deb -c "$deb")"
echo "$contents"
for file in usr/bin/skimbler "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml" \
            "usr/share/mime/packages/$id.xml" "usr/share/icons/hicolor/256x256/apps/$id.png" \
            usr/share/doc/skimbler/README.md usr/share/doc/skimbler/guide.md usr/share/doc/skimbler/copyright \
            usr/include/skimbler/SurfaceRenderer.h usr/lib/pkgconfig/skimbler-runtime.pc \
            usr/lib/cmake/SkimblerRuntime/SkimblerRuntimeConfig.cmake usr/lib/libskimbler_runtime.a; do
    grep -q " \./$file\$" <<<"$contents" || fail "the package lacks /$file"
done
# The copyright file is Debian's machine-readable format.
# Read into a variable first: under pipefail, head closing the pipe early
# kills tar with SIGPIPE whenever the file straddles one of tar's records.
copyright="$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/skimbler/copyright)"
[ "${copyright%%$'\n'*}" = 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ] \
    || fail "the copyright file is not in Debian's format"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for library in libqt6widgets6 libqt6gui6 libqt6core6 libqt6opengl6 libopengl0 libglu1; do
    grep -q "$library" <<<"$depends" || fail "the package does not depend on $library"
done
echo "PASS"
