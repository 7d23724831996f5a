#!/bin/sh
# Builds the Debian package, installs it with apt-get, converts from the installed paths (an
# example, an album by the album builder, an A4 page of the installed pagesize.ini), and removes
# it again: afterwards none of the files the package listed is left. Needs root; skipped
# (status 77) without it.
# Usage: package_test.sh BUILD_DIR
set -eu
if [ "$(id -u)" != 0 ] || ! command -v apt-get >/dev/null || ! command -v cpack >/dev/null; then
    echo "package test skipped: it needs root, apt-get and cpack"
    exit 77
fi
build=$(realpath "$1")
work=$(mktemp -d)
installed=no
# Whatever happens, the package does not stay installed.
trap 'if [ $installed = yes ]; then apt-get purge -y -q vellumox >/dev/null 2>&1; fi; rm -rf "$work"' EXIT
fail() { echo "package test: $*" >&2; exit 1; }

(cd "$build" && rm -f vellumox_*.deb && cpack -G DEB >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$build"/vellumox_*_*.deb)
export DEBIAN_FRONTEND=noninteractive
installed=yes
apt-get install -y -q "$deb" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "install failed"; }
dpkg -L vellumox >"$work/listed"
# What the package placed that is no directory (directories such as /usr/bin are shared).
while read -r path; do
    if [ -L "$path" ] || [ ! -d "$path" ]; then echo "$path"; fi
done <"$work/listed" >"$work/files"

export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
unset DISPLAY WAYLAND_DISPLAY
mkdir "$work/ex" "$work/pics"
cp /usr/share/doc/vellumox/examples/* "$work/ex/"
cp "$work/ex/picture.jpg" "$work/pics/one.jpg"
cp "$work/ex/picture.jpg" "$work/pics/two.jpg"
[ "$(readlink -f /usr/bin/vellumox)" = /usr/lib/vellumox/vellumox ] || fail "vellumox is not linked"
/usr/bin/vellumox --batch --no-save "$work/ex/sample.txt" || fail "vellumox failed"
qpdf --check "$work/ex/sample.pdf" >/dev/null || fail "sample.pdf is not sound"
/usr/bin/album "$work/pics" /o out || fail "album failed"
qpdf --check "$work/pics/out.pdf" >/dev/null || fail "out.pdf is not sound"
[ "$(pdfinfo "$work/pics/out.pdf" | sed -n 's/^Pages: *//p')" = 2 ] || fail "the album has not 2 pages"
/usr/bin/vellumox --batch --no-save -p5 -o "$work/a4.pdf" "$work/ex/sample.txt" || fail "-p5 failed"
qpdf --check "$work/a4.pdf" >/dev/null || fail "a4.pdf is not sound"
pdfinfo "$work/a4.pdf" | grep -q '^Page size: *595 x 842 pts (A4)' || fail "-p5 is not A4"

apt-get purge -y -q vellumox >"$work/remove.log" 2>&1 || { cat "$work/remove.log"; fail "remove failed"; }
installed=no
left=0
while read -r path; do
    if [ -e "$path" ] || [ -L "$path" ]; then echo "left behind: $path" >&2; left=1; fi
done <"$work/files"
[ ! -e /usr/lib/vellumox ] || { echo "left behind: /usr/lib/vellumox" >&2; left=1; }
[ $left = 0 ] || fail "the package left files behind"
echo "package test: installed, converted, removed cleanly ($(wc -l <"$work/files") files)"
