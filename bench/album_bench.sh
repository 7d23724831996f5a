#!/bin/sh
# Whole-process benchmark of albums: 50 JPEGs of 3000 x 2000 (quality 90) kept as they are (the
# factory quality, 100) and encoded again at quality 95, and 50 PNGs of 1600 x 1200, against the
# floors cat (copying the JPEG bytes) and djpeg | cjpeg -quality 95 -sample 1x1 (decoding and
# encoding each JPEG), and
# ImageMagick's convert where its policy lets it write PDF. Prints seconds, images per second,
# peak memory and the ratios.
set -eu
cd "$(dirname "$0")/.."
scripts/build vellumox vellumox-decode make_bench_pictures >/dev/null
work=${TMPDIR:-/tmp}/vellumox-album-bench
count=${1:-50}
mkdir -p "$work/pics"
[ -f "$work/pics/scan$(printf %03d "$count").png" ] || build/bin/make_bench_pictures "$work/pics" "$count"

album() {  # pattern list-file
    : > "$2"
    first=1
    for f in $1; do
        [ $first = 1 ] || printf '\f\r\n' >> "$2"
        printf '<img src="%s">\r\n' "$f" >> "$2"
        first=0
    done
}
album "$work/pics/photo*.jpg" "$work/jpegs.txt"
album "$work/pics/scan*.png" "$work/pngs.txt"

measure() {  # label command...: best wall time of three runs and its peak memory
    label=$1; shift
    best=""
    for _ in 1 2 3; do
        rm -f "$work/jpegs.pdf" "$work/pngs.pdf" "$work/out.bin" "$work"/*.out.jpg
        /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>&1 || { echo "$label failed"; return; }
        read -r secs kb < "$work/time"
        if [ -z "$best" ] || [ "$(echo "$secs < $best" | bc)" = 1 ]; then best=$secs; mem=$kb; fi
    done
    rate=$(echo "scale=1; $count / $best" | bc)
    printf '%-34s %7.2f s %7s images/s %8d KB peak\n' "$label" "$best" "$rate" "$mem"
    last=$best
}

measure "floor: cat *.jpg" sh -c "cat $work/pics/photo*.jpg > $work/out.bin"; cat_time=$last
measure "floor: djpeg | cjpeg -quality 95" sh -c \
    "for f in $work/pics/photo*.jpg; do djpeg \$f | cjpeg -quality 95 -sample 1x1 > \$f.out.jpg; done; rm -f $work/pics/*.out.jpg"
recode_floor=$last
measure "vellumox JPEG album, as they are" build/bin/vellumox --batch --jpeg-quality=100 "$work/jpegs.txt"; keep_time=$last
measure "vellumox JPEG album, quality 95" build/bin/vellumox --batch --jpeg-quality=95 "$work/jpegs.txt"; recode_time=$last
measure "vellumox PNG album" build/bin/vellumox --batch "$work/pngs.txt"
if convert "$work/pics/photo001.jpg" "$work/probe.pdf" 2>/dev/null; then
    measure "ImageMagick convert *.jpg out.pdf" sh -c "convert $work/pics/photo*.jpg $work/out.bin.pdf"
else
    echo "ImageMagick convert *.jpg out.pdf: refused by the system's ImageMagick policy (PDF coder)"
fi
echo "ratio keep/cat:         $(echo "scale=2; $keep_time / $cat_time" | bc)"
echo "ratio recompress/floor: $(echo "scale=2; $recode_time / $recode_floor" | bc)"
