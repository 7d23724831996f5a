#!/bin/sh
# Whole-process benchmark of an album of PNG screenshots at the factory settings (quality 100:
# kept lossless) against img2pdf on the same files (where installed): 40 screenshots of 1280 x 800
# made by ImageMagick (text and flat areas, as a screen holds them), alternated, medians of 3.
# Prints each tool's seconds, PDF size and peak memory (the converter's, its decoder helper not
# counted: PNG is decoded in the converter itself), and the ratios that the goals name.
set -eu
cd "$(dirname "$0")/.."
scripts/build vellumox vellumox-decode >/dev/null
work=${TMPDIR:-/tmp}/vellumox-lossless-bench
count=${1:-40}
mkdir -p "$work/shots" "$work/config"
i=1
while [ $i -le "$count" ]; do
    f="$work/shots/shot$(printf %03d $i).png"
    [ -f "$f" ] || convert -size 1280x800 xc:'#f0f0f0' -fill '#3465a4' -draw "rectangle 0,0 1280,40" \
        -fill white -draw "rectangle 40,80 $((600 + i * 10)),760" -fill black -pointsize 14 \
        -annotate +60+120 "Screenshot $i: $(seq -s ' ' 1 $((20 + i)))" \
        -annotate +60+160 "The quick brown fox jumps over the lazy dog $i times." -alpha off \
        -depth 8 "PNG24:$f"
    i=$((i + 1))
done
median() { printf '%s\n' "$@" | sort -n | sed -n 2p; }
run() {  # output command...: "seconds peak-KB" of one run
    rm -f "$1"; shift
    /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
    cat "$work/time"
}
v=""; vm=0; t=""; tm=0
have=0; command -v img2pdf >/dev/null && have=1
for _ in 1 2 3; do
    set -- $(run "$work/ours.pdf" env XDG_CONFIG_HOME="$work/config" build/bin/vellumox --batch -o "$work/ours.pdf" "$work/shots/shot*.png")
    v="$v $1"; vm=$2
    if [ $have = 1 ]; then
        set -- $(run "$work/theirs.pdf" sh -c "img2pdf -o $work/theirs.pdf $work/shots/shot*.png")
        t="$t $1"; tm=$2
    fi
done
png_bytes=$(cat "$work"/shots/shot*.png | wc -c)
# shellcheck disable=SC2086
vt=$(median $v)
printf 'PNGs together          %10d bytes\n' "$png_bytes"
printf 'vellumox (factory)     %10d bytes %6.2f s %7d KB peak\n' "$(wc -c < "$work/ours.pdf")" "$vt" "$vm"
if [ $have = 1 ]; then
    # shellcheck disable=SC2086
    tt=$(median $t)
    printf 'img2pdf                %10d bytes %6.2f s %7d KB peak\n' "$(wc -c < "$work/theirs.pdf")" "$tt" "$tm"
    echo "size vellumox / img2pdf: $(echo "scale=3; $(wc -c < "$work/ours.pdf") / $(wc -c < "$work/theirs.pdf")" | bc)"
    echo "time vellumox / img2pdf: $(echo "scale=3; $vt / $tt" | bc)"
fi
