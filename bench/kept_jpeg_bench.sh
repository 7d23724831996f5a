#!/bin/sh
# Whole-process benchmark of a photo album with the factory settings (JPEG quality 100, so each
# JPEG goes in as it is): 50 camera-like JPEGs of 3000 x 2000 (EXIF orientation, every fourth
# turned) against img2pdf on the same files, alternated, medians of 3. Prints each tool's
# seconds and PDF size, the size of the JPEGs together, and the ratios that the goals name:
# PDF / JPEGs (at most 1.02) and vellumox / img2pdf time (at most 0.33).
# img2pdf is a Debian package of its own (apt-get install img2pdf); without it the script
# measures vellumox alone.
set -eu
cd "$(dirname "$0")/.."
scripts/build vellumox vellumox-decode make_bench_pictures >/dev/null
work=${TMPDIR:-/tmp}/vellumox-album-bench
count=${1:-50}
mkdir -p "$work/pics" "$work/config"
[ -f "$work/pics/photo$(printf %03d "$count").jpg" ] || build/bin/make_bench_pictures "$work/pics" "$count"
set -- "$work"/pics/photo*.jpg
jpeg_bytes=$(cat "$@" | wc -c)

seconds() {  # output command...: wall seconds of one run, its output removed before
    out=$1; shift
    rm -f "$out"
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
    echo "scale=3; ($(date +%s.%N) - $start) / 1" | bc
}
median() { printf '%s\n' "$@" | sort -n | sed -n 2p; }

# A fresh settings folder: the factory settings.
ours() { XDG_CONFIG_HOME="$work/config" build/bin/vellumox --batch -o "$work/ours.pdf" "$work/pics/photo*.jpg"; }
theirs() { img2pdf -o "$work/theirs.pdf" "$work"/pics/photo*.jpg; }
have_img2pdf=0
command -v img2pdf >/dev/null && have_img2pdf=1
v=""; i=""
for _ in 1 2 3; do
    v="$v $(seconds "$work/ours.pdf" ours)"
    [ $have_img2pdf = 0 ] || i="$i $(seconds "$work/theirs.pdf" theirs)"
done
# shellcheck disable=SC2086
ours_time=$(median $v)
ours_size=$(wc -c < "$work/ours.pdf")
printf 'JPEGs together           %12d bytes\n' "$jpeg_bytes"
printf 'vellumox (factory)       %12d bytes %6.2f s  (runs:%s)\n' "$ours_size" "$ours_time" "$v"
echo "size PDF / JPEGs:        $(echo "scale=4; $ours_size / $jpeg_bytes" | bc)"
if [ $have_img2pdf = 1 ]; then
    # shellcheck disable=SC2086
    theirs_time=$(median $i)
    printf 'img2pdf                  %12d bytes %6.2f s  (runs:%s)\n' "$(wc -c < "$work/theirs.pdf")" "$theirs_time" "$i"
    echo "time vellumox / img2pdf: $(echo "scale=3; $ours_time / $theirs_time" | bc)"
else
    echo "img2pdf is not installed: no comparison"
fi
