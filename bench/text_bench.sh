#!/bin/sh
# Whole-process benchmark of text conversion, printed as a table: vellumox on a 100 MB text
# file (plain, with markup on every tenth line, and with --compress on one core and on all),
# the bare line writer as the floor, and enscript | ps2pdf (where installed, on the first 10 MB:
# it is a hundred times slower). Best wall time of three runs, the programs alternated; peak
# memory of that run; the ratios to the bare writer and to the plain run.
set -eu
cd "$(dirname "$0")/.."
scripts/build vellumox make_bench_text bare_line_writer >/dev/null
work=${TMPDIR:-/tmp}/vellumox-text-bench
mkdir -p "$work/config"
export XDG_CONFIG_HOME="$work/config"
size=${1:-100}
[ -f "$work/plain.txt" ] || build/bin/make_bench_text "$work/plain.txt" "$size"
[ -f "$work/markup.txt" ] || build/bin/make_bench_text "$work/markup.txt" "$size" --markup
head -c 10000000 "$work/plain.txt" > "$work/ten.txt"

bin=build/bin
labels="bare plain markup compress1 compress"
command_of() {
    case $1 in
        bare) echo "$bin/bare_line_writer $work/plain.txt $work/out.pdf" ;;
        plain) echo "$bin/vellumox --batch --no-save -o $work/out.pdf $work/plain.txt" ;;
        markup) echo "$bin/vellumox --batch --no-save -o $work/out.pdf $work/markup.txt" ;;
        compress1) echo "taskset -c 0 $bin/vellumox --batch --no-save --compress -o $work/out.pdf $work/plain.txt" ;;
        compress) echo "$bin/vellumox --batch --no-save --compress -o $work/out.pdf $work/plain.txt" ;;
        enscript) echo "enscript -B -q -p - $work/ten.txt | ps2pdf - $work/out.pdf" ;;
    esac
}
name_of() {
    case $1 in
        bare) echo "bare line writer" ;;
        plain) echo "vellumox" ;;
        markup) echo "vellumox, markup" ;;
        compress1) echo "vellumox --compress, 1 core" ;;
        compress) echo "vellumox --compress, $(nproc) cores" ;;
        enscript) echo "enscript | ps2pdf (10 MB)" ;;
    esac
}
# Outputs are removed before every run: replacing an existing file makes ext4 flush it to disk
# at once (its rename and truncate heuristics), which would time the disk, not the program.
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
if command -v enscript >/dev/null && command -v ps2pdf >/dev/null; then
    once enscript
    labels="$labels enscript"
fi

printf '%-30s %8s %9s %10s %12s\n' "program" "seconds" "MB/s" "peak MB" "output MB"
for label in $labels; do
    eval "secs=\$best_$label mem=\$mem_$label out=\$out_$label"
    mb=$size
    [ "$label" = enscript ] && mb=10
    printf '%-30s %8.2f %9.1f %10.1f %12.1f\n' "$(name_of "$label")" "$secs" \
        "$(echo "scale=1; $mb / $secs" | bc)" "$(echo "scale=1; $mem / 1024" | bc)" \
        "$(echo "scale=1; $out / 1000000" | bc)"
done
echo "plain / bare:    $(echo "scale=2; $best_plain / $best_bare" | bc)"
echo "markup / bare:   $(echo "scale=2; $best_markup / $best_bare" | bc)"
echo "compress / plain: $(echo "scale=2; $best_compress / $best_plain" | bc) ($(nproc) cores)," \
     "$(echo "scale=2; $best_compress1 / $best_plain" | bc) (1 core)"
echo "machine: $(nproc) cores, $(lscpu 2>/dev/null | sed -n 's/^Model name: *//p' | head -n 1)"
