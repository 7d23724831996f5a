#!/bin/sh
# Whole-process benchmark of text in many scripts, printed as a table. The texts are real prose:
# paragraphs of the Universal Declaration of Human Rights (bench/data/udhr_prose.txt), drawn at
# random by make_bench_text --prose, Chinese and Japanese without blanks between words.
#   - vellumox on SIZE MB of Latin prose and on SIZE MB of prose mixing Latin, Cyrillic, Greek,
#     Arabic, Chinese and Japanese paragraphs, the two alternated; the mixed text with --compress;
#   - paps | ps2pdf (Pango's text to PostScript, then Ghostscript) and vellumox on the first 1 MB
#     of the mixed prose (paps is far slower);
#   - vellumox on PEAK MB of the mixed prose, for its peak memory.
# Best wall time of three runs of each; the peak memory and output size of that run.
# Usage: bench/scripts_bench.sh [SIZE] [PEAK]   (50 and 100 MB unless given)
set -eu
cd "$(dirname "$0")/.."
scripts/build vellumox make_bench_text >/dev/null
work=${TMPDIR:-/tmp}/vellumox-scripts-bench
mkdir -p "$work/config"
export XDG_CONFIG_HOME="$work/config"
size=${1:-50}
peak=${2:-100}
prose=bench/data/udhr_prose.txt
make_text() {  # name megabytes [--latin]
    [ -f "$work/$1.txt" ] || build/bin/make_bench_text "$work/$1.txt" "$2" --prose "$prose" ${3:-}
}
make_text "latin-$size" "$size" --latin
make_text "mixed-$size" "$size"
make_text "mixed-$peak" "$peak"
# The first megabyte of the mixed prose, in whole lines.
head -c 1000000 "$work/mixed-$size.txt" | sed '$d' > "$work/small.txt"

bin="build/bin/vellumox --batch --no-save -o $work/out.pdf"
labels="latin mixed compress small"
command -v paps >/dev/null && command -v ps2pdf >/dev/null && labels="$labels paps"
command_of() {
    case $1 in
        latin) echo "$bin $work/latin-$size.txt" ;;
        mixed) echo "$bin $work/mixed-$size.txt" ;;
        compress) echo "$bin --compress $work/mixed-$size.txt" ;;
        small) echo "$bin $work/small.txt" ;;
        paps) echo "paps $work/small.txt | ps2pdf - $work/out.pdf" ;;
        peak) echo "$bin $work/mixed-$peak.txt" ;;
    esac
}
name_of() {
    case $1 in
        latin) echo "vellumox, Latin" ;;
        mixed) echo "vellumox, mixed scripts" ;;
        compress) echo "vellumox --compress, mixed" ;;
        small) echo "vellumox, mixed (1 MB)" ;;
        paps) echo "paps | ps2pdf, mixed (1 MB)" ;;
        peak) echo "vellumox, mixed ($peak MB)" ;;
    esac
}
input_of() {
    case $1 in
        latin) echo "$work/latin-$size.txt" ;;
        mixed | compress) echo "$work/mixed-$size.txt" ;;
        small | paps) echo "$work/small.txt" ;;
        peak) echo "$work/mixed-$peak.txt" ;;
    esac
}
# Outputs are removed before every run: replacing an existing file makes ext4 flush it to disk
# at once, which would time the disk, not the program.
once() {  # label: one run; records the best time, its peak memory and its output's size
    rm -f "$work/out.pdf"
    /usr/bin/time -f "%e %M" -o "$work/time" sh -c "$(command_of "$1")" >/dev/null 2>&1
    read -r secs kb < "$work/time"
    eval "best=\${best_$1:-}"
    if [ -z "$best" ] || [ "$(echo "$secs < $best" | bc)" = 1 ]; then
        eval "best_$1=$secs mem_$1=$kb out_$1=$(stat -c %s "$work/out.pdf")"
    fi
}
for _ in 1 2 3; do
    for label in $labels; do once "$label"; done
done
once peak
labels="$labels peak"

printf '%-30s %8s %8s %9s %9s %11s %8s\n' "program" "input MB" "seconds" "MB/s" "peak MB" \
    "output MB" "/ input"
for label in $labels; do
    eval "secs=\$best_$label mem=\$mem_$label out=\$out_$label"
    in=$(stat -c %s "$(input_of "$label")")
    printf '%-30s %8.1f %8.2f %9.1f %9.1f %11.1f %8.2f\n' "$(name_of "$label")" \
        "$(echo "scale=1; $in / 1000000" | bc)" "$secs" \
        "$(echo "scale=1; $in / 1000000 / $secs" | bc)" "$(echo "scale=1; $mem / 1024" | bc)" \
        "$(echo "scale=1; $out / 1000000" | bc)" "$(echo "scale=2; $out / $in" | bc)"
done
echo "mixed / Latin time: $(echo "scale=1; $best_mixed / $best_latin" | bc) times"
case $labels in
    *paps*) echo "paps | ps2pdf / vellumox (1 MB): $(echo "scale=1; $best_paps / $best_small" | bc) times" ;;
    *) echo "paps | ps2pdf: not installed (scripts/install-deps installs paps and ghostscript)" ;;
esac
echo "machine: $(nproc) cores, $(lscpu 2>/dev/null | sed -n 's/^Model name: *//p' | head -n 1)"
