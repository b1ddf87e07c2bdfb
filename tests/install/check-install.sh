#!/bin/sh
# Installs the build into a temporary prefix and checks that the program, the files it reads at run time,
# its place on the desktop, the manual and the administrator's example are all there:
# check-install.sh BUILD_DIR SAMPLE_TIFF
set -eu
BUILD=$1
SAMPLE=$2
PREFIX=$(mktemp -d)
trap 'rm -rf "$PREFIX"' EXIT
cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null
fail() { echo "check-install: $*" >&2; exit 1; }

[ -f "$PREFIX/bin/folivant" ] && [ -x "$PREFIX/bin/folivant" ] || fail "the program is not bin/folivant"
# Found as ../share/folivant from the program's folder.
for f in FolivantCmndArguments.txt FolivantCmndArgumentsEng.txt FolivantLogo.bmp FolivantEng.qm \
         help/de/index.html help/de/win_main.html help/en/index.html help/en/win_image.html; do
    [ -s "$PREFIX/share/folivant/$f" ] || fail "$f is not in share/folivant"
done
[ ! -e "$PREFIX/libexec" ] || fail "nothing belongs in libexec any more"
desktop="$PREFIX/share/applications/folivant.desktop"
[ -f "$desktop" ] || fail "no desktop entry"
grep -qx 'MimeType=image/tiff;' "$desktop" || fail "the desktop entry does not offer TIFF files"
grep -qx 'Exec=folivant %f' "$desktop" || fail "the desktop entry does not open files"
grep -qx 'Exec=folivant -p %f' "$desktop" || fail "the desktop entry's print action does not open the print dialog"
if command -v desktop-file-validate >/dev/null 2>&1; then
    # Hints too (two main categories put the program in two menus).
    out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
fi
for size in 16 24 32 48 64 128 256; do
    icon="$PREFIX/share/icons/hicolor/${size}x${size}/apps/folivant.png"
    [ -s "$icon" ] || fail "no ${size}px icon"
    # The width in the PNG header, so that no size is filled with another size's picture.
    width=$(od -An -j16 -N4 -tu1 "$icon" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }')
    [ "$width" = "$size" ] || fail "the ${size}px icon is $width pixels wide"
done
grep -q '<svg' "$PREFIX/share/icons/hicolor/scalable/apps/folivant.svg" || fail "no scalable icon"
[ -s "$PREFIX/share/metainfo/de.zentrel.folivant.metainfo.xml" ] || fail "no AppStream metadata"
[ -s "$PREFIX/share/man/man1/folivant.1" ] || fail "no English manual page"
[ -s "$PREFIX/share/man/de/man1/folivant.1" ] || fail "no German manual page"
[ -s "$PREFIX/share/doc/folivant/examples/Folivant.conf" ] || fail "no example of the settings for all users"
[ -x "$PREFIX/share/doc/folivant/examples/folivant-print-hook" ] || fail "no print hook for fax servers"
[ -f "$PREFIX/$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$BUILD/CMakeCache.txt")/folivant/folivant-print.so" ] ||
    fail "the print module is not in the library folder"
# The installed program finds its print module: a quiet run for a printer that does not exist ends with
# the status of a missing printer (5), not with the one of a missing module (1).
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM PRINTER=folivant-check-no-such-printer \
    "$PREFIX/bin/folivant" -p "$SAMPLE" /q >/dev/null 2>&1 || status=$?
[ "$status" = 5 ] || fail "a quiet print run of the installed program ended with $status, not 5"
# Only what the program needs: no build files, no test tools.
[ -z "$(find "$PREFIX" -name 'CMake*' -o -name 'folivant-*' -type f ! -name folivant-print-hook ! -name folivant-print.so)" ] ||
    fail "build files or tools were installed"
echo "check-install: all in place under $PREFIX"
