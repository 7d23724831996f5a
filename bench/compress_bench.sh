#!/bin/sh
# Sizes and times of a PDF of 10 MB of prose: vellumox plain and with --compress, against
# enscript | ps2pdf (GNU enscript and Ghostscript), the usual way to make a PDF of text.
set -eu
cd "$(dirname "$0")/.."
scripts/build vellumox make_bench_text >/dev/null
work=${TMPDIR:-/tmp}/vellumox-compress-bench
mkdir -p "$work"
size=${1:-10}
[ -f "$work/prose.txt" ] || build/bin/make_bench_text "$work/prose.txt" "$size"

run() {  # label output command...
    label=$1; out=$2; shift 2
    rm -f "$out"
    /usr/bin/time -f "%e" -o "$work/time" sh -c "$*" >/dev/null 2>&1
    printf '%-28s %6.2f s %10d bytes\n' "$label" "$(cat "$work/time")" "$(stat -c %s "$out")"
}

run "vellumox" "$work/plain.pdf" \
    "XDG_CONFIG_HOME=$work/config build/bin/vellumox --batch --no-save -o $work/plain.pdf $work/prose.txt"
run "vellumox --compress" "$work/small.pdf" \
    "XDG_CONFIG_HOME=$work/config build/bin/vellumox --batch --no-save --compress -o $work/small.pdf $work/prose.txt"
if command -v enscript >/dev/null && command -v ps2pdf >/dev/null; then
    run "enscript | ps2pdf" "$work/enscript.pdf" \
        "enscript -B -q -p - $work/prose.txt | ps2pdf - $work/enscript.pdf"
else
    echo "enscript | ps2pdf: not installed (scripts/install-deps installs enscript and ghostscript)"
fi
