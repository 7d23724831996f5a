#!/bin/sh
# Whole-process benchmark of text in several scripts: 1 MB of UTF-8 prose mixing Cyrillic,
# Greek, Arabic, Chinese and Latin, converted by vellumox and by paps | ps2pdf (Pango's text to
# PostScript, then Ghostscript), time and PDF size of both; then 100 MB of the same prose by
# vellumox alone, time and peak memory. Best of three runs each, the programs alternated.
set -eu
cd "$(dirname "$0")/.."
scripts/build vellumox make_bench_text >/dev/null
work=${TMPDIR:-/tmp}/vellumox-scripts-bench
mkdir -p "$work/config"
small=${1:-1}
large=${2:-100}
[ -f "$work/small.txt" ] || build/bin/make_bench_text "$work/small.txt" "$small" --scripts
[ -f "$work/large.txt" ] || build/bin/make_bench_text "$work/large.txt" "$large" --scripts
export XDG_CONFIG_HOME="$work/config"

labels="ours large"
command_of() {
    case $1 in
        ours) echo "build/bin/vellumox --batch --no-save -o $work/ours.pdf $work/small.txt" ;;
        paps) echo "paps $work/small.txt | ps2pdf - $work/paps.pdf" ;;
        large) echo "build/bin/vellumox --batch --no-save -o $work/large.pdf $work/large.txt" ;;
    esac
}
if command -v paps >/dev/null && command -v ps2pdf >/dev/null; then labels="ours paps large"; fi
once() {  # label: one run; keeps the best time and its peak memory
    rm -f "$work/$1.pdf"
    /usr/bin/time -f "%e %M" -o "$work/time" sh -c "$(command_of "$1")" >/dev/null 2>&1 || true
    read -r secs kb < "$work/time"
    eval "best=\${best_$1:-}"
    if [ -z "$best" ] || [ "$(echo "$secs < $best" | bc)" = 1 ]; then eval "best_$1=$secs mem_$1=$kb"; fi
}
report() {  # label name megabytes
    eval "secs=\$best_$1 kb=\$mem_$1"
    printf '%-22s %7.2f s %8s MB/s %8d KB peak %10d bytes\n' "$2" "$secs" \
        "$(echo "scale=2; $3 / $secs" | bc)" "$kb" "$(stat -c %s "$work/$1.pdf" 2>/dev/null || echo 0)"
}
for _ in 1 2 3; do
    for label in $labels; do once "$label"; done
done
echo "$small MB of mixed-script prose:"
report ours vellumox "$small"
case $labels in
    *paps*) report paps "paps | ps2pdf" "$small"
            echo "paps | ps2pdf / vellumox: $(echo "scale=1; $best_paps / $best_ours" | bc)x" ;;
    *) echo "paps | ps2pdf: not installed (scripts/install-deps installs paps and ghostscript)" ;;
esac
echo "$large MB of mixed-script prose:"
report large vellumox "$large"
