#!/usr/bin/env bash
# Another program resizing the window cannot take it past its limits: client
# area at least 830 x 480, outer size at most 1190 x 550 (no frame here).
set -u
exe=$1
. "$(dirname "$0")/xvfb_lib.sh"
start_x

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
check 1300 600 1190x550
check 1000 500 1000x500
check 500 300 830x480
check 1100 479 1100x480
echo "1 passed, 0 failed"
