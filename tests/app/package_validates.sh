#!/bin/sh
# Builds the Debian package from the build folder as `make package` does, into the throwaway
# HOME, and holds it to what Debian and the desktops check: lintian with no error or warning,
# a valid AppStream metainfo and desktop entry, and the files a desktop looks for.
set -eu
build_dir="$1"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
packages="$HOME/packages"
root="$HOME/root"

(cd "$build_dir" && cpack -G DEB -B "$packages" >"$HOME/cpack.log" 2>&1) \
    || { cat "$HOME/cpack.log" >&2; fail "cpack failed"; }
set -- "$packages"/wispen_*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "cpack made no single wispen .deb: $*"
deb="$1"

# Lintian says that it runs as root, as it does in CI; that line is not a finding.
status=0
lintian --fail-on error,warning "$deb" >"$HOME/lintian.log" 2>&1 || status=$?
grep -v 'running with root privileges' "$HOME/lintian.log" >&2 || true
[ "$status" -eq 0 ] || fail "lintian found errors or warnings"

dpkg-deb -x "$deb" "$root"
metainfo="$root/usr/share/metainfo/io.github.wispen.Wispen.metainfo.xml"
entry="$root/usr/share/applications/io.github.wispen.Wispen.desktop"
appstreamcli validate --no-net "$metainfo" || fail "the metainfo is not valid"
appstreamcli validate-tree --no-net "$root" || fail "the metainfo does not match the package"
findings=$(desktop-file-validate "$entry" 2>&1) || fail "the desktop entry is not valid: $findings"
[ -z "$findings" ] || fail "the desktop entry has warnings: $findings"

for file in bin/wispen share/man/man1/wispen.1.gz share/doc/wispen/copyright \
    share/doc/wispen/changelog.gz share/icons/hicolor/scalable/apps/io.github.wispen.Wispen.svg; do
    [ -f "$root/usr/$file" ] || fail "the package has no /usr/$file"
done
gzip -dc "$root/usr/share/man/man1/wispen.1.gz" | grep -q '^\.TH WISPEN 1 ' || fail "no man page"
for size in 16 32 48 64 128 256; do
    icon="$root/usr/share/icons/hicolor/${size}x$size/apps/io.github.wispen.Wispen.png"
    file "$icon" | grep -q "PNG image data, $size x $size" || fail "no ${size}px PNG icon"
done

# The linked libraries, found by dpkg-shlibdeps, and what Qt loads at run time: the platform
# plugins and the SVG icon engine, which no link shows.
depends=$(dpkg-deb -f "$deb" Depends)
for needed in qt6-qpa-plugins libqt6svg6 libqt6widgets6; do
    echo "$depends" | grep -qw -- "$needed" || fail "Depends lacks $needed: $depends"
done

# One version everywhere: the package, its changelog and the metainfo's latest release.
version=$(dpkg-deb -f "$deb" Version)
changelog=$(gzip -dc "$root/usr/share/doc/wispen/changelog.gz" \
    | sed -n '1s/^wispen (\([^)]*\)).*/\1/p')
release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
[ "$changelog" = "$version" ] || fail "the changelog's latest entry is $changelog, not $version"
[ "$release" = "$version" ] || fail "the metainfo's latest release is $release, not $version"
echo "PASS: wispen $version packaged; lintian, appstreamcli and desktop-file-validate agree"
