#!/bin/sh
# Whole-process benchmark of text conversion: vellumox on a 100 MB text file, plain and with
# markup on every tenth line, against the bare line writer as the floor. Prints seconds, MB/s,
# peak memory and the ratios.
set -eu
cd "$(dirname "$0")/.."
scripts/build >/dev/null
work=${TMPDIR:-/tmp}/vellumox-text-bench
mkdir -p "$work"
size=${1:-100}
[ -f "$work/plain.txt" ] || build/bin/make_bench_text "$work/plain.txt" "$size"
[ -f "$work/markup.txt" ] || build/bin/make_bench_text "$work/markup.txt" "$size" --markup

# Outputs are removed before every run: replacing an existing file makes ext4 flush it to disk
# at once (its rename and truncate heuristics), which would time the disk, not the program.
measure() {  # label command...: best wall time of three runs, and its peak memory
    label=$1; shift
    best=""
    for _ in 1 2 3; do
        rm -f "$work/bare.out" "$work/plain.pdf" "$work/markup.pdf"
        /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>&1
        read -r secs kb < "$work/time"
        if [ -z "$best" ] || [ "$(echo "$secs < $best" | bc)" = 1 ]; then best=$secs; mem=$kb; fi
    done
    mb=$(echo "scale=1; $size / $best" | bc)
    printf '%-28s %6.2f s %8s MB/s %8d KB peak\n' "$label" "$best" "$mb" "$mem"
    eval "time_$(echo "$label" | tr -c 'a-z0-9\n' '_')=$best"
}

measure "bare line writer" build/bin/bare_line_writer "$work/plain.txt" "$work/bare.out"
measure "vellumox plain" build/bin/vellumox --batch "$work/plain.txt"
measure "vellumox markup" build/bin/vellumox --batch "$work/markup.txt"
measure "vellumox plain --compress" build/bin/vellumox --batch --compress --no-save "$work/plain.txt"
echo "ratio plain/bare:  $(echo "scale=2; $time_vellumox_plain / $time_bare_line_writer" | bc)"
echo "ratio markup/bare: $(echo "scale=2; $time_vellumox_markup / $time_bare_line_writer" | bc)"
echo "ratio compress/bare: $(echo "scale=2; $time_vellumox_plain___compress / $time_bare_line_writer" | bc)"
