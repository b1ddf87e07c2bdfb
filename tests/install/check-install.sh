#!/bin/sh
# Installs the build into a temporary prefix and checks that the program has everything beside it and
# its place on the desktop: check-install.sh BUILD_DIR
set -eu
BUILD=$1
PREFIX=$(mktemp -d)
trap 'rm -rf "$PREFIX"' EXIT
cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null
fail() { echo "check-install: $*" >&2; exit 1; }

[ -L "$PREFIX/bin/folivant" ] || fail "bin/folivant is not a link"
[ "$(readlink -f "$PREFIX/bin/folivant")" = "$(readlink -f "$PREFIX/libexec/folivant/folivant")" ] || fail "bin/folivant points elsewhere"
[ -x "$PREFIX/libexec/folivant/folivant" ] || fail "the program is missing"
for f in FolivantCmndArguments.txt FolivantCmndArgumentsEng.txt FolivantLogo.bmp FolivantEng.qm \
         help/de/index.html help/de/win_main.html help/en/index.html help/en/win_image.html; do
    [ -s "$PREFIX/libexec/folivant/$f" ] || fail "$f is not beside the program"
done
desktop="$PREFIX/share/applications/folivant.desktop"
[ -f "$desktop" ] || fail "no desktop entry"
grep -qx 'MimeType=image/tiff;' "$desktop" || fail "the desktop entry does not offer TIFF files"
grep -qx 'Exec=folivant %f' "$desktop" || fail "the desktop entry does not open files"
grep -qx 'Exec=folivant -p -q %f' "$desktop" || fail "the desktop entry has no print action"
if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate refuses the entry"
fi
for size in 32 48 64 256; do
    [ -s "$PREFIX/share/icons/hicolor/${size}x${size}/apps/folivant.png" ] || fail "no ${size}px icon"
done
# The installed program finds its files through its own folder, not the build tree.
[ ! -e "$PREFIX/libexec/folivant/CMakeCache.txt" ] || fail "build files were installed"
echo "check-install: all in place under $PREFIX"
