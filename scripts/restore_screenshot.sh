#!/usr/bin/env bash
# Takes a picture of the month window offering work left unsaved back: the
# board in a private X server, a block dragged onto another day and left
# unsaved, the board killed and started again, Ctrl+M, that day's cell
# chosen so that 復元 is offered; the window captured with ImageMagick.
# usage: restore_screenshot.sh EXECUTABLE OUT.png
set -euo pipefail
exe=$(realpath "$1")
out=$2
. "$(dirname "$0")/../tests/e2e/xvfb_lib.sh"
start_x
# the user's state folder, where the recovery files go, of this run alone
export XDG_STATE_HOME="$XTMP/state"
today=$(date +%-d)
other=$((today <= 25 ? today + 2 : today - 2))
other_date=$(date +%Y-%m-)$(printf %02d "$other")
mkdir "$XTMP/data"
crlf_cp932 佐藤 鈴木 高橋 >"$XTMP/data/List1.txt"
crlf_cp932 '01\7:00\8.0\佐藤' '02\9:00\4.0\鈴木' >"$XTMP/data/$(day_file today)"
crlf_cp932 '01\10:00\6.0\高橋' >"$XTMP/data/$(day_file "$other_date")"
start_board "$exe" "$XTMP/data"
sleep 0.5
# the other day, chosen in the day picker, gets a block dragged onto row 4
click_panel $((217 + 32 + 10)) $((41 + 5 + 10))
xdotool type --delay 50 "$other"
sleep 0.5
drag_top_block 325 184
sleep 1.5
kill -9 "$BOARD_PID"
wait "$BOARD_PID" 2>/dev/null || true
start_board "$exe"
sleep 0.5
xdotool key ctrl+m
id=$(wait_window "月間表 .*") || fail "no month window"
xdotool windowsize --sync "$id" 1100 420
xdotool windowmove --sync "$id" 0 0
xdotool windowfocus --sync "$id"
sleep 0.3
xdotool key Down Home
for _ in $(seq 2 "$other"); do xdotool key Right; done
sleep 0.8
import -window "$id" "$out"
echo "wrote $out"
