#!/bin/sh
# Drives the real converter window under an X server of its own, as a user would, with xdotool:
# a file converted through the input and output fields, then a folder pattern, each answered
# "No" at the completion question; then Escape closes the window and the about window; last
# an unattended run from the command line.
# Usage: window_session.sh VELLUMOX DIR   (DIR holds a.txt and texts/*.txt; run under xvfb-run)
set -eu
unset QT_QPA_PLATFORM  # the real X server, not the tests' offscreen platform
# Under the sanitizers: libxkbcommon-x11 calls strndup on keymap names that are not
# NUL-terminated, which is sound but trips ASan's strict string checks.
if [ -n "${ASAN_OPTIONS:-}" ]; then export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"; fi
vellumox=$1
dir=$2

window() {  # the id of the visible window named exactly $1, waiting for it
    n=0
    while [ $n -lt 300 ]; do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then echo "$id"; return 0; fi
        sleep 0.1; n=$((n + 1))
    done
    echo "no window named '$1'" >&2
    return 1
}
gone() {  # waits until no visible window is named exactly $1
    n=0
    while xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; do
        sleep 0.1; n=$((n + 1))
        if [ $n -ge 300 ]; then echo "window '$1' stays" >&2; return 1; fi
    done
}
keys() { xdotool windowfocus --sync "$1"; shift; xdotool key --delay 60 "$@"; }
type_text() { xdotool windowfocus --sync "$1"; xdotool type --delay 20 "$2"; }

"$vellumox" &
pid=$!
main=$(window "Vellumox PRO\+ v1\.7")
sleep 0.3
# "Open when done" off: its access key is shared with the output's Browse button, so the way
# there is back through the tab order from the first field.
keys "$main" alt+a shift+Tab shift+Tab shift+Tab shift+Tab space
keys "$main" alt+i ctrl+a
type_text "$main" "$dir/a.txt"
keys "$main" alt+o ctrl+a
type_text "$main" "$dir/a.pdf"
keys "$main" Return                     # "Produce PDF", the default button
question=$(window "Kelm's Vellumox PRO\+")
keys "$question" Escape                 # No
gone "Kelm's Vellumox PRO\+"
[ -s "$dir/a.pdf" ] || { echo "a.pdf was not written" >&2; exit 1; }

keys "$main" alt+i ctrl+a
type_text "$main" "$dir/texts/*.txt"
keys "$main" Return
question=$(window "Kelm's Vellumox PRO\+")
keys "$question" Escape
gone "Kelm's Vellumox PRO\+"

keys "$main" Escape                     # the close path: the about window follows
about=$(window "About Kelm's Vellumox PRO\+")
keys "$about" Escape
ends() {  # waits for process $1 to end and gives its status
    n=0
    while kill -0 "$1" 2>/dev/null; do
        sleep 0.1; n=$((n + 1))
        if [ $n -ge 100 ]; then echo "vellumox did not end" >&2; kill "$1"; return 1; fi
    done
    wait "$1"
}
ends $pid

# A command line that names a file converts at once; the about window follows, and the
# program ends when it is dismissed.
"$vellumox" -t"Unattended" "$dir/b.txt" &
pid=$!
about=$(window "About Kelm's Vellumox PRO\+")
[ -s "$dir/b.pdf" ] || { echo "b.pdf was not written before the about window" >&2; exit 1; }
keys "$about" Escape
ends $pid
