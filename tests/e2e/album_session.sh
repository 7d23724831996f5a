#!/bin/sh
# Drives the real album window under an X server of its own with xdotool: the folder chosen
# through "Directory...", two pictures added, the second moved up, the album created through
# the save dialog; the converter runs behind the progress dialog and the question whether to
# open the album is answered No; then Escape closes the album window.
# Usage: album_session.sh BIN DIR   (DIR/pics holds a.jpg and b.jpg; run under xvfb-run)
set -eu
bin=$1
dir=$2
. "$(dirname "$0")/x_session.sh"

"$bin/album" &
pid=$!
main=$(window "PDF Album for Kelm's Vellumox PRO\\+")
sleep 0.3
# From the file list, the tab order reaches "Directory..." after nine steps.
keys "$main" Tab Tab Tab Tab Tab Tab Tab Tab Tab space
folder=$(window "Select the desired folder:")
type_text "$folder" "$dir/pics"
keys "$folder" Return
gone "Select the desired folder:"
keys "$main" Tab Tab             # past "Create PDF Album" to the file list, at its first file
keys "$main" Insert Down Insert  # a.jpg, then b.jpg
keys "$main" Tab Down alt+u      # the album list: the second picture up
keys "$main" shift+Tab shift+Tab space  # back past the file list to "Create PDF Album"
save=$(window "Save PDF As")
type_text "$save" "$dir/Trip.pdf"
keys "$save" Return
# The converter runs behind the progress dialog; at the end the album builder asks whether to
# open the album: No (Escape).
question=$(window "PDF Album")
test -s "$dir/Trip.pdf"
keys "$question" Escape
gone "PDF Album"
keys "$main" Escape
ends $pid
