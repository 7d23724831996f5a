#!/bin/sh
# Whole-process benchmark of an album of PNG screenshots at the factory settings (quality 100:
# kept lossless) against img2pdf on the same files (where installed): 40 screenshots of 1280 x 800
# made by ImageMagick (text and flat areas, as a screen holds them), alternated, medians of 3.
# Prints each tool's seconds, PDF size and peak memory (the converter's, its decoder helper not
# counted: PNG is decoded in the converter itself), and the ratios that the goals name.
#
# bench/lossless_bench.sh --large [N] [noisy]: the memory goal instead: an album of N (1000)
# pictures of 12 megapixels (4000 x 3000) as PNG, each its own file (one picture, a numbered
# text chunk apiece), converted at the factory settings; prints the converter's peak memory (the
# PNGs are decoded in the converter itself, no helper) and its time. The picture is a drawing
# that compresses well (decoded and deflated again), or with "noisy" a grainy photo (its PNG
# rows taken as they are).
set -eu
cd "$(dirname "$0")/.."
scripts/build vellumox vellumox-decode >/dev/null
work=${TMPDIR:-/tmp}/vellumox-lossless-bench
if [ "${1:-}" = "--large" ]; then
    count=${2:-1000}
    kind=${3:-drawing}
    mkdir -p "$work/large-$kind" "$work/config"
    base="$work/large-$kind/base.png"
    noise=""
    [ "$kind" = noisy ] && noise="-attenuate 0.3 +noise Uniform"
    # shellcheck disable=SC2086
    [ -f "$base" ] || convert -size 4000x3000 gradient:navy-gold -fill white -draw "circle 2000,1500 2000,300" \
        -fill black -pointsize 120 -annotate +300+600 "Twelve megapixels" \
        $noise -depth 8 "PNG24:$base"
    python3 - "$base" "$work/large-$kind" "$count" <<'PY'
import os, struct, sys, zlib
base, folder, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
data = open(base, 'rb').read()
head, rest = data[:33], data[33:]  # signature and IHDR
for i in range(1, count + 1):
    path = os.path.join(folder, 'photo%04d.png' % i)
    if os.path.exists(path):
        continue
    text = b'Comment\0photo %d' % i
    chunk = struct.pack('>I', len(text)) + b'tEXt' + text + struct.pack('>I', zlib.crc32(b'tEXt' + text))
    open(path, 'wb').write(head + chunk + rest)
PY
    rm -f "$work/large.pdf"
    /usr/bin/time -f "%e s %M KB peak" -o "$work/time" env XDG_CONFIG_HOME="$work/config" \
        build/bin/vellumox --batch --quiet -o "$work/large.pdf" "$work/large-$kind/photo*.png"
    printf '%d PNGs (%s) of 4000 x 3000 (%d bytes each): PDF %d bytes, ' "$count" "$kind" \
        "$(wc -c < "$base")" "$(wc -c < "$work/large.pdf")"
    cat "$work/time"
    exit 0
fi
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
