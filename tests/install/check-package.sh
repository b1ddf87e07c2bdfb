#!/bin/sh
# Checks the Debian packaging against the install rules without building the package:
#   - debian/folivant.install takes exactly what `cmake --install` (prefix /usr) produces: every line
#     matches, and no installed file is left out (dh_install and dh_missing would fail the package);
#   - debian/changelog, the AppStream release and the manual pages carry the project's version;
#   - the AppStream metadata validates, the manual pages render without warnings, and every file
#     pattern of debian/copyright still names files of the source;
#   - the About box, help book, metadata and debian/ name the addresses of CMakeLists.txt and no others;
#   - the archive section and the metadata agree with the licence in debian/copyright;
#   - every lintian override says why it is there.
# check-package.sh SOURCE_DIR BUILD_DIR PROJECT_VERSION HOMEPAGE MAIL VCS
set -eu
SRC=$1
BUILD=$2
VERSION=$3
HOMEPAGE=$4
MAIL=$5
VCS=$6
STAGE=$(mktemp -d)
trap 'rm -rf "$STAGE"' EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

DESTDIR=$STAGE cmake --install "$BUILD" --prefix /usr >/dev/null

# What the package takes: every line of folivant.install expanded in the staging tree as dh_install does.
taken=$STAGE.taken
: >"$taken"
while read -r pattern rest; do
    case $pattern in '' | '#'*) continue ;; esac
    [ -z "$rest" ] || fail "folivant.install: '$pattern $rest': a destination is not expected here"
    matched=0
    for path in "$STAGE"/$pattern; do
        [ -e "$path" ] || [ -L "$path" ] || continue
        matched=1
        find "$path" ! -type d >>"$taken"
    done
    [ $matched = 1 ] || fail "debian/folivant.install names $pattern, which cmake --install does not produce"
done <"$SRC/debian/folivant.install"
find "$STAGE" ! -type d | sort >"$STAGE.installed"
sort -u "$taken" -o "$taken"
left=$(comm -23 "$STAGE.installed" "$taken" | sed "s|^$STAGE/||")
rm -f "$taken" "$STAGE.installed"
[ -z "$left" ] || fail "installed but not in debian/folivant.install: $left"

# One version everywhere.
changelog=$(sed -n '1s/^folivant (\([^)]*\)).*/\1/p' "$SRC/debian/changelog")
[ "${changelog%-*}" = "$VERSION" ] || fail "debian/changelog has $changelog, the project is $VERSION"
metainfo="$STAGE/usr/share/metainfo/de.zentrel.folivant.metainfo.xml"
grep -q "<release version=\"$VERSION\"" "$metainfo" || fail "the AppStream metadata has no release $VERSION"
for page in man1/folivant.1 de/man1/folivant.1; do
    grep -q "^\.TH FOLIVANT 1 \"[^\"]*\" \"Folivant $VERSION\"" "$STAGE/usr/share/man/$page" ||
        fail "man $page does not name Folivant $VERSION"
done

# The metadata and the manual pages as software centres and man show them (the tools are installed by
# `scripts/install-deps deb`; without them these two checks are left to lintian when the package is built).
if command -v appstreamcli >/dev/null 2>&1; then
    appstreamcli validate --pedantic --no-net "$metainfo" >"$STAGE.out" 2>&1 || { cat "$STAGE.out" >&2; fail "appstreamcli refuses the metadata"; }
else
    echo "check-package: appstreamcli not installed, metadata not validated"
fi
if command -v man >/dev/null 2>&1; then
    for page in man1/folivant.1 de/man1/folivant.1; do
        warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
            "$STAGE/usr/share/man/$page" 2>&1 >/dev/null) || fail "man cannot render $page"
        [ -z "$warnings" ] || fail "man $page: $warnings"
    done
else
    echo "check-package: man not installed, manual pages not rendered"
fi
rm -f "$STAGE.out"

# One set of addresses: debian/ as scripts/set-addresses writes it, the About link in the program, and
# every web or mail address of the packaging, the metadata and the support pages one of the set.
sh "$SRC/scripts/set-addresses" --check || fail "debian/ names other addresses than CMakeLists.txt"
grep -qF "$HOMEPAGE" "$STAGE/usr/bin/folivant" || fail "the About box does not link to $HOMEPAGE"
support="$STAGE/usr/share/folivant/help/de/support.html $STAGE/usr/share/folivant/help/en/support.html"
for page in $support; do
    grep -qF "$HOMEPAGE" "$page" && grep -qF "$MAIL" "$page" || fail "$page does not name $HOMEPAGE and $MAIL"
done
# The copyright file's own header; the licence texts below it cite their authors' sites.
sed '/^$/q' "$SRC/debian/copyright" >"$STAGE.header"
for address in $(grep -ohE "https?://[^ <>\"]+|[A-Za-z0-9._-]+@[A-Za-z0-9.-]+" "$SRC/debian/control" \
    "$SRC/debian/changelog" "$STAGE.header" "$metainfo" $support); do
    case $address in
        "$HOMEPAGE" | "$HOMEPAGE"/* | "$MAIL" | "$VCS" | https://www.debian.org/doc/packaging-manuals/*) ;;
        *) fail "$address is none of the addresses in CMakeLists.txt" ;;
    esac
done
rm -f "$STAGE.header"

# The licence decides the section: proprietary files are non-free, and the metadata says the same.
licence=$(sed -n '/^Files: \*$/,/^$/s/^License: //p' "$SRC/debian/copyright")
section=$(sed -n '1,/^$/s/^Section: //p' "$SRC/debian/control")
project=$(sed -n 's:.*<project_license>\(.*\)</project_license>.*:\1:p' "$metainfo")
case $licence in
    *proprietary*) [ "${section%%/*}" = non-free ] && [ "$project" = LicenseRef-proprietary ] ;;
    *) [ "${section%%/*}" != non-free ] && [ "$project" != LicenseRef-proprietary ] ;;
esac || fail "licence $licence, section $section and metadata licence $project disagree"

# An override without the comment before it hides a tag nobody can judge.
for overrides in "$SRC"/debian/*lintian-overrides "$SRC"/debian/source/lintian-overrides; do
    [ -e "$overrides" ] || continue
    awk '/^#/ { why = 1; next } /^[ \t]*$/ { why = 0; next } !why { print; bad = 1 } END { exit bad }' \
        "$overrides" || fail "$overrides: an override above has no comment that says why"
done

# Every file pattern of the copyright file (the Files: fields with their continuation lines) still
# matches something in the source.
set -f
patterns=$(sed -n '/^Files:/,/^[A-Z][A-Za-z-]*:/{s/^Files://;/^[A-Z][A-Za-z-]*:/d;p}' "$SRC/debian/copyright")
for pattern in $patterns; do
    set +f
    found=0
    for path in "$SRC"/$pattern; do [ -e "$path" ] && found=1 && break; done
    [ $found = 1 ] || fail "debian/copyright names $pattern, which matches no file"
    set -f
done
set +f
echo "check-package: debian/folivant.install, versions, addresses, licence, metadata and manual pages agree"
