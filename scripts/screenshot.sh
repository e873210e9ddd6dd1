#!/usr/bin/env bash
# Takes a picture of the board as a user sees it: the program in a private
# X server on its first run (the sample day), one more block dragged onto the
# board with the real pointer, the window captured with ImageMagick.
# usage: screenshot.sh EXECUTABLE OUT.png
set -euo pipefail
exe=$(realpath "$1")
out=$2
. "$(dirname "$0")/../tests/e2e/xvfb_lib.sh"
root=$(cd "$(dirname "$0")/.." && pwd)
start_x
# a first run: the sample day and the staff list, as the build provides them
mkdir "$XTMP/data"
"$(dirname "$exe")/tools/kabrelo_seed" "$XTMP/data/" \
    "$root/data/List1.txt.utf8" "$root/data/smpl.dat.utf8" >/dev/null
start_board "$exe" "$XTMP/data"
id=$BOARD_WINDOW
sleep 0.5
# one more block dragged from the stack onto row 4 at 13:00
drag_top_block 325 184
import -window "$id" "$out"
echo "wrote $out"
