#!/usr/bin/env bash
# Another program resizing the window cannot take it past its limits: client
# area at least 830 x 480, outer size at most 1190 x 550, frame included
# where a window manager (KAB_WM) frames it.
set -euo pipefail
exe=$1
. "$(dirname "$0")/xvfb_lib.sh"
require_x

start_board "$exe"
id=$BOARD_WINDOW
check() {
    local w=$1 h=$2 want=$3 got
    xdotool windowsize "$id" "$w" "$h"
    for _ in $(seq 30); do
        sleep 0.1
        got=$(xdotool getwindowgeometry "$id" | sed -n 's/.*Geometry: //p')
        [ "$got" = "$want" ] && return 0
    done
    fail "asked ${w}x${h}, got $got, wanted $want"
}
# left, right, top, bottom; none without a window manager
read -r left right top bottom < <(xprop -id "$id" _NET_FRAME_EXTENTS |
    sed -n 's/.*= *//p' | tr -d ',') || true
max_w=$((1190 - ${left:-0} - ${right:-0}))
max_h=$((550 - ${top:-0} - ${bottom:-0}))
check 1300 600 "${max_w}x${max_h}"
check 1000 500 1000x500
check 500 300 830x480
check 1100 479 1100x480
echo "1 passed, 0 failed"
