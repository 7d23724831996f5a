#!/bin/sh
# Drives the real converter window under an X server of its own, as a user would, with xdotool:
# a file converted through the input and output fields, then a folder pattern, each answered
# "No" at the completion question; then Escape closes the window and the about window; last
# an unattended run from the command line.
# Usage: window_session.sh VELLUMOX DIR   (DIR holds a.txt and texts/*.txt; run under xvfb-run)
set -eu
vellumox=$1
dir=$2
. "$(dirname "$0")/x_session.sh"

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
ends $pid

# A command line that names a file converts at once; the about window follows, and the
# program ends when it is dismissed. It keeps its switches because it asks to (--save).
"$vellumox" --save -t"Unattended" "$dir/b.txt" &
pid=$!
about=$(window "About Kelm's Vellumox PRO\+")
[ -s "$dir/b.pdf" ] || { echo "b.pdf was not written before the about window" >&2; exit 1; }
keys "$about" Escape
ends $pid

# Without --save the unattended run converts and keeps none of its switches.
"$vellumox" -s3 -t"Not kept" "$dir/c.txt" &
pid=$!
about=$(window "About Kelm's Vellumox PRO\+")
[ -s "$dir/c.pdf" ] || { echo "c.pdf was not written before the about window" >&2; exit 1; }
keys "$about" Escape
ends $pid
