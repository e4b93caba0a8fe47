#!/bin/sh
# Makes the Debian package from a build folder and checks that it holds the program and the
# files that present it to the desktop, that these name each other consistently, and that it
# depends on what no tool finds by itself.
#
# usage: check_package.sh <cpack> <build folder> <application id>
#
# CPack first brings the build folder up to date (nothing to do after a full build) and then
# installs into its own staging folder, here a temporary one, so that the check can run beside
# other tests of the same build folder.
set -eu

cpack=$1
build=$2
id=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; fail "cpack failed"; }

# Named the Debian way: <name>_<version>_<architecture>.deb
set -- "$work"/out/*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "expected one package, found: $*"
deb=$1
case $(basename "$deb") in
    cinquepunti_*_"$(dpkg --print-architecture)".deb) ;;
    *) fail "package not named the Debian way: $(basename "$deb")" ;;
esac

dpkg-deb -x "$deb" "$work/root"
root=$work/root/usr
desktop=$root/share/applications/$id.desktop
metainfo=$root/share/metainfo/$id.metainfo.xml
mime=$root/share/mime/packages/$id.xml
for file in "$root/bin/cinquepunti" "$desktop" "$metainfo" "$mime" \
    "$root/share/icons/hicolor/scalable/apps/cinquepunti.svg"; do
    [ -f "$file" ] || fail "missing ${file#"$work/root"}"
done
[ -x "$root/bin/cinquepunti" ] || fail "the program is not executable"

# The program and nothing else: no tools, tests or benchmarks.
programs=$(ls "$root/bin" | tr "\n" " " | sed "s/ $//")
[ "$programs" = cinquepunti ] || fail "unexpected programs in usr/bin: $programs"

# The desktop entry starts the packaged program with the packaged icon and opens the documents
# of the packaged type, and the metainfo launches that desktop entry.
grep -qx 'Exec=cinquepunti %f' "$desktop" || fail "the desktop entry does not start cinquepunti"
grep -qx 'MimeType=application/x-cinquepunti;' "$desktop" &&
    grep -q '<mime-type type="application/x-cinquepunti">' "$mime" ||
    fail "the desktop entry does not open the packaged document type"
grep -qx 'Icon=cinquepunti' "$desktop" || fail "the desktop entry does not show the icon"
grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo has another id than $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $id.desktop"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate-tree --no-net "$work/root" >"$work/appstream.log" 2>&1 ||
        { cat "$work/appstream.log" >&2; fail "appstreamcli finds fault with the metadata"; }
fi

# The desktop entry as the desktop's own validator reads it: not even a hint.
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" >"$work/desktop.log" 2>&1 || true
    [ ! -s "$work/desktop.log" ] ||
        { cat "$work/desktop.log" >&2; fail "desktop-file-validate finds fault with the entry"; }
fi

# Dependencies: the hand-declared ones, and the libraries found by dpkg-shlibdeps (Qt, and the
# geometry engine's C library, which the offset line needs).
depends=$(dpkg-deb -f "$deb" Depends)
for package in fonts-liberation2 qt6-translations-l10n libqt6widgets6 libnlopt0 libgeos-c1v5; do
    echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qx "$package" ||
        fail "Depends lacks $package: $depends"
done
[ "$(dpkg-deb -f "$deb" Section)" = graphics ] || fail "section is not graphics"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no maintainer"

# Debian's own checks of a package (copyright, changelog, manual page, description, hardening):
# no error and no warning. Run as root, lintian says so on its error output: the tags alone count.
if command -v lintian >/dev/null; then
    lintian --fail-on none "$deb" >"$work/lintian.log" 2>"$work/lintian.err" ||
        { cat "$work/lintian.err" >&2; fail "lintian did not run"; }
    ! grep -E '^[EW]: ' "$work/lintian.log" >&2 || fail "lintian finds fault with the package"
fi

echo "ok: $(basename "$deb")"
