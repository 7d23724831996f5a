#!/bin/sh
# Writes the reference pages that the rendering test compares with: each script's paragraph of
# tests/data/prose.txt, plain and then in bold markup, converted by the vellumox in BIN (as the
# test converts it), its first page rendered by pdftoppm at 60 dpi in grey, and its text as
# pdftotext gives it.
# Usage: tests/data/pages/render.sh BIN   (made once, by the build before a change to drawing)
set -eu
bin=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
grep -v '^#' "$here/../prose.txt" | while IFS='|' read -r script font text; do
    [ -n "$script" ] || continue
    printf '%s\n<b>%s</b>\n' "$text" "$text" > "$work/p.txt"
    XDG_CONFIG_HOME="$work/config" "$bin/vellumox" --batch --no-save $font "$work/p.txt" >/dev/null 2>&1
    pdftoppm -r 60 -gray -png -f 1 -l 1 -singlefile "$work/p.pdf" "$here/$script"
    pdftotext "$work/p.pdf" "$here/$script.txt"
done
