#!/usr/bin/env bash
# Takes a picture of the board as a user sees it: the program in a private
# X server, a block dragged onto the board with the real pointer, the
# window captured with ImageMagick.
# usage: screenshot.sh EXECUTABLE OUT.png
set -eu
exe=$(realpath "$1")
out=$2
. "$(dirname "$0")/../tests/e2e/xvfb_lib.sh"
start_x
start_board "$exe"
id=$BOARD_WINDOW
sleep 0.5
# one block dragged from the stack onto row 3 at 13:00
drag_top_block 325 140
import -window "$id" "$out"
echo "wrote $out"
