#!/bin/sh
# Whole-process benchmark of text in several scripts: 1 MB of UTF-8 prose mixing Cyrillic,
# Greek, Arabic, Chinese and Latin, converted by vellumox and by paps | ps2pdf (Pango's text to
# PostScript, then Ghostscript), time and PDF size of both; then 100 MB of the same prose by
# vellumox alone, time and peak memory. Best of three runs each, the programs alternated.
set -eu
cd "$(dirname "$0")/.."
scripts/build >/dev/null
work=${TMPDIR:-/tmp}/vellumox-scripts-bench
mkdir -p "$work/config"
small=${1:-1}
large=${2:-100}
[ -f "$work/small.txt" ] || build/bin/make_bench_text "$work/small.txt" "$small" --scripts
[ -f "$work/large.txt" ] || build/bin/make_bench_text "$work/large.txt" "$large" --scripts
export XDG_CONFIG_HOME="$work/config"

once() {  # output command...: one run; prints "seconds kilobytes"
    out=$1; shift
    rm -f "$out"
    /usr/bin/time -f "%e %M" -o "$work/time" sh -c "$*" >/dev/null 2>&1 || true
    cat "$work/time"
}
report() {  # label seconds kilobytes output megabytes
    printf '%-22s %7.2f s %8s MB/s %8d KB peak %10d bytes\n' "$1" "$2" \
        "$(echo "scale=2; $5 / $2" | bc)" "$3" "$(stat -c %s "$4" 2>/dev/null || echo 0)"
}
better() { [ -z "$1" ] || [ "$(echo "$2 < $1" | bc)" = 1 ]; }

ours="build/bin/vellumox --batch --no-save -o $work/ours.pdf $work/small.txt"
have_paps=no
if command -v paps >/dev/null && command -v ps2pdf >/dev/null; then have_paps=yes; fi
theirs="paps $work/small.txt | ps2pdf - $work/paps.pdf"
best_ours=""; best_paps=""
for _ in 1 2 3; do
    read -r s k <<EOT
$(once "$work/ours.pdf" "$ours")
EOT
    if better "$best_ours" "$s"; then best_ours=$s; mem_ours=$k; fi
    if [ $have_paps = yes ]; then
        read -r s k <<EOT
$(once "$work/paps.pdf" "$theirs")
EOT
        if better "$best_paps" "$s"; then best_paps=$s; mem_paps=$k; fi
    fi
done
echo "$small MB of mixed-script prose:"
report "vellumox" "$best_ours" "$mem_ours" "$work/ours.pdf" "$small"
if [ $have_paps = yes ]; then
    report "paps | ps2pdf" "$best_paps" "$mem_paps" "$work/paps.pdf" "$small"
    echo "paps | ps2pdf / vellumox: $(echo "scale=1; $best_paps / $best_ours" | bc)x"
else
    echo "paps | ps2pdf: not installed (scripts/install-deps installs paps and ghostscript)"
fi

best=""
for _ in 1 2 3; do
    read -r s k <<EOT
$(once "$work/large.pdf" "build/bin/vellumox --batch --no-save -o $work/large.pdf $work/large.txt")
EOT
    if better "$best" "$s"; then best=$s; mem=$k; fi
done
echo "$large MB of mixed-script prose:"
report "vellumox" "$best" "$mem" "$work/large.pdf" "$large"
