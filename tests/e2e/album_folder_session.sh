#!/bin/sh
# The album builder opened on DIR/pics under an X server of its own, then closed with Escape:
# it keeps the folder it showed for its next start.
# Usage: album_folder_session.sh BIN DIR   (run under xvfb-run)
set -eu
bin=$1
dir=$2
. "$(dirname "$0")/x_session.sh"

"$bin/album" "$dir/pics" &
pid=$!
main=$(window "PDF Album for Kelm's Vellumox PRO\\+")
sleep 0.3
keys "$main" Escape
ends $pid
