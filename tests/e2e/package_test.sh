#!/bin/sh
# Builds the Debian package and checks it without installing it: the machine's own /usr is never
# touched. The package is unpacked with dpkg-deb into a scratch root and its programs are run
# from there (an example, an album by the album builder, an A4 page of the shipped
# pagesize.ini); its metadata (dependencies, files, checksums, maintainer scripts) is read with
# dpkg-deb, and linted with lintian where it is installed. Skipped (status 77) where cpack or
# dpkg-deb is missing.
# Usage: package_test.sh BUILD_DIR
set -eu
if ! command -v cpack >/dev/null || ! command -v dpkg-deb >/dev/null; then
    echo "package test skipped: it needs cpack and dpkg-deb"
    exit 77
fi
build=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package test: $*" >&2; exit 1; }

# The package is made in a copy of the build's CPack set-up, so that a .deb the user made in
# the build folder stays as it is.
(cd "$build" && cpack -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/pkg/vellumox_*_*.deb)

# Metadata: what it depends on, what it recommends, no maintainer scripts, every file under
# /usr with its checksum.
dpkg-deb -f "$deb" Depends | grep -q 'fonts-dejavu-core' || fail "Depends lacks fonts-dejavu-core"
for font in fonts-noto-core fonts-droid-fallback fonts-nanum; do
    dpkg-deb -f "$deb" Recommends | grep -q "$font" || fail "Recommends lacks $font"
done
dpkg-deb -e "$deb" "$work/control"
for script in preinst postinst prerm postrm config; do
    [ ! -e "$work/control/$script" ] || fail "the package has a $script script"
done
root="$work/root"
dpkg-deb -x "$deb" "$root"
[ -z "$(ls "$root" | grep -v '^usr$')" ] || fail "the package places files outside /usr"
(cd "$root" && md5sum --quiet -c "$work/control/md5sums") || fail "a file differs from md5sums"
for page in usr/share/man/man1/vellumox.1.gz usr/share/man/man1/album.1.gz \
    usr/share/doc/vellumox/changelog.gz; do
    gzip -t "$root/$page" 2>/dev/null || fail "$page is not there, compressed"
done
[ "$(dpkg-deb -f "$deb" Description | awk 'length > 80' | wc -l)" = 0 ] ||
    fail "a line of the description is longer than 80 columns"
[ "$(readlink "$root/usr/bin/vellumox")" = ../lib/vellumox/vellumox ] || fail "vellumox is not linked"
[ "$(readlink "$root/usr/bin/album")" = ../lib/vellumox/album ] || fail "album is not linked"
for program in vellumox-window vellumox-decode; do
    [ -x "$root/usr/lib/vellumox/$program" ] || fail "$program is not beside vellumox"
done

# lintian, where it is installed: no error or warning, nor the informational tags of an
# unhardened or unstripped program. A misspelling that it reads in a program counts when the
# word is one of ours (it is in the sources); the bytes of machine code spell a word now and
# then, and those come and go with the code.
if command -v lintian >/dev/null; then
    lintian -I "$deb" >"$work/lintian.log" 2>/dev/null || true
    while read -r level _ tag word _; do
        case "$level $tag" in
        "I: spelling-error-in-binary")
            ! grep -rqw -- "$word" "$(dirname "$0")/../../src" ||
                fail "lintian: a misspelt word in a program: $word" ;;
        E:* | W:* | I:*) fail "lintian: $level $tag $word" ;;
        esac
    done <"$work/lintian.log"
else
    echo "package test: lintian is not installed; the package is not linted"
fi

# The programs as unpacked, each finding its data beside itself.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
unset DISPLAY WAYLAND_DISPLAY
mkdir "$work/ex" "$work/pics"
cp "$root"/usr/share/doc/vellumox/examples/* "$work/ex/"
cp "$work/ex/picture.jpg" "$work/pics/one.jpg"
cp "$work/ex/picture.jpg" "$work/pics/two.jpg"
"$root/usr/bin/vellumox" --batch --no-save "$work/ex/sample.txt" || fail "vellumox failed"
qpdf --check "$work/ex/sample.pdf" >/dev/null || fail "sample.pdf is not sound"
"$root/usr/bin/album" "$work/pics" /o out || fail "album failed"
qpdf --check "$work/pics/out.pdf" >/dev/null || fail "out.pdf is not sound"
[ "$(pdfinfo "$work/pics/out.pdf" | sed -n 's/^Pages: *//p')" = 2 ] || fail "the album has not 2 pages"
"$root/usr/bin/vellumox" --batch --no-save -p5 -o "$work/a4.pdf" "$work/ex/sample.txt" ||
    fail "-p5 failed"
qpdf --check "$work/a4.pdf" >/dev/null || fail "a4.pdf is not sound"
pdfinfo "$work/a4.pdf" | grep -q '^Page size: *595 x 842 pts (A4)' || fail "-p5 is not A4"
echo "package test: $(dpkg-deb -c "$deb" | grep -vc '/$') files, unpacked and run in a scratch root"
