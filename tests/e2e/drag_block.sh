#!/usr/bin/env bash
# The top block of the stack dragged with the real pointer onto row 3 lands
# at 13:00 for four hours, and the next block shows on the stack. Copies of
# the board in folders whose names Shift-JIS cannot write show and save their
# own day, never the day of the folder named with "?" in their place.
set -u
exe=$1
. "$(dirname "$0")/xvfb_lib.sh"
start_x
start_board "$exe"

orange="245,173,112" # block 50, on top of the stack at start
shot="$XTMP/start.png"
import -window root "$shot"
share=$(colour_share "$shot" 165 406 150 28 "$orange")
awk "BEGIN { exit !($share > 0.5) }" || fail "block 50 not on top of the stack ($share)"

# tick position x' = 320 (13:00), row 3
drag_top_block 325 140
shot="$XTMP/placed.png"
import -window root "$shot"
# block 50 now lies at Left 320, Top 135, 160 wide
share=$(colour_share "$shot" 325 140 150 28 "$orange")
awk "BEGIN { exit !($share > 0.5) }" || fail "block 50 not placed at 13:00 on row 3 ($share)"
share=$(colour_share "$shot" 165 406 150 28 "$orange")
awk "BEGIN { exit !($share < 0.05) }" || fail "block 50 still on the stack ($share)"
# nothing of it left of 13:00 or right of 17:00
share=$(colour_share "$shot" 300 140 18 28 "$orange")
awk "BEGIN { exit !($share == 0) }" || fail "block reaches left of 13:00"
share=$(colour_share "$shot" 482 140 18 28 "$orange")
awk "BEGIN { exit !($share == 0) }" || fail "block reaches right of 17:00"
[ -n "${SHOT_OUT:-}" ] && import -window "$BOARD_WINDOW" "$SHOT_OUT"

# --- program folders ------------------------------------------------------------
weekdays=(日 月 火 水 木 金 土)
today_file="$(date +%m);$(date +%d)${weekdays[$(date +%w)]}.txt"
crlf_cp932() { printf '%s\r\n' "$@" | iconv -f UTF-8 -t CP932; }
prepared="$XTMP/prepared"
mkdir -p "$prepared"
# row 5 at 10:00 first: the save writes row 2 first
crlf_cp932 '05\10:00\3\見本' '02\08:00\2\朝' >"$prepared/$today_file"
crlf_cp932 '02\08:00\2\朝' '05\10:00\3\見本' >"$XTMP/saved.expected"
for pair in "müller:m?ller" "예약😀:???"; do
    folder=${pair%%:*} lossy=${pair#*:}
    # the folder the name would become through Shift-JIS, with a day of its own
    mkdir -p "$XTMP/$lossy/data"
    crlf_cp932 '01\09:00\4\他' >"$XTMP/$lossy/data/$today_file"
    cp -r "$XTMP/$lossy/data" "$XTMP/lossy.before"
    kill "$BOARD_PID"
    wait "$BOARD_PID" 2>/dev/null
    start_board "$exe" "$prepared" "$folder"
    import -window root "$shot"
    share=$(colour_share "$shot" 205 228 110 28 "$orange")
    awk "BEGIN { exit !($share > 0.5) }" || fail "$folder: its day is not on the board ($share)"
    xdotool mousemove $((GRID_X + 337 + 291 + 27)) $((GRID_Y + 397 + 42 + 13)) click 1 # 保存
    for _ in $(seq 15); do
        cmp -s "$XTMP/saved.expected" "$BOARD_DATA/$today_file" && break
        sleep 0.2
    done
    cmp "$XTMP/saved.expected" "$BOARD_DATA/$today_file" || fail "$folder: not saved into its data/"
    diff -r "$XTMP/lossy.before" "$XTMP/$lossy/data" || fail "$folder: the folder $lossy was touched"
    rm -rf "$XTMP/lossy.before"
done
echo "1 passed, 0 failed"
