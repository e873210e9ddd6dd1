#!/usr/bin/env bash
# A left drag across the board with real X input tints only the release row,
# from the pressed column to the released one.
set -euo pipefail
exe=$1
. "$(dirname "$0")/xvfb_lib.sh"
require_x

start_board "$exe"
gx=$GRID_X
gy=$GRID_Y
cell_x() { echo $((gx + 40 * $1 + 20)); }
cell_y() { echo $((gy + 44 * $1 + 22)); }

xdotool mousemove "$(cell_x 3)" "$(cell_y 2)" mousedown 1
for c in 4 5 6 7; do
    xdotool mousemove "$(cell_x $c)" "$(cell_y 4)"
    sleep 0.05
done
xdotool mousemove "$(cell_x 7)" "$(cell_y 5)" mouseup 1
sleep 0.5

shot="$XTMP/shot.png"
import -window root "$shot"
pixel() { convert "$shot" -format "%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]" \
    -crop "1x1+$1+$2" info:; }
tint="245,255,255"
plain="248,248,248"
for c in 3 4 5 6 7; do
    [ "$(pixel "$(cell_x $c)" "$(cell_y 5)")" = "$tint" ] || fail "cell ($c,5) not tinted"
    [ "$(pixel "$(cell_x $c)" "$(cell_y 2)")" = "$plain" ] || fail "cell ($c,2) tinted"
done
for c in 2 8; do
    [ "$(pixel "$(cell_x $c)" "$(cell_y 5)")" = "$plain" ] || fail "cell ($c,5) tinted"
done
[ "$(pixel "$(cell_x 1)" "$(cell_y 1)")" = "$plain" ] || fail "start cell still tinted"
echo "1 passed, 0 failed"
