#!/usr/bin/env bash
# A day file dragged with the real pointer from another program (XDND) onto
# the board: it loads, from a folder whose name has no Shift-JIS form, and
# the source is told the drop took a copy although it proposed a move.
set -euo pipefail
exe=$1
here=$(dirname "$0")
. "$here/xvfb_lib.sh"

# Debian's own interpreter: PyQt6 comes as a Debian package.
py=/usr/bin/python3
"$py" -c 'import PyQt6.QtWidgets' 2>/dev/null || skip "python3-pyqt6 is not installed"
require_x

folder="$XTMP/Ünterlagen"
mkdir -p "$folder"
dropped="$folder/12;07月.txt"
crlf_cp932 '03\13:00\4.0\佐藤' >"$dropped"

start_board "$exe"
orange="245,173,112" # block 50: on top of the stack, and the first record's
expect_share "$orange" 325 140 150 28 "== 0" "row 3 not empty before the drop"

# the source beside the board, below its right end
src_x=$((WIN_X + 880)) src_y=$((WIN_Y + 500))
"$py" "$here/drag_source.py" "$dropped" "$src_x" "$src_y" >"$XTMP/source.out" 2>"$XTMP/source.err" &
source_pid=$!
wait_window kab-drag-source >/dev/null || fail "no drag source window: $(cat "$XTMP/source.err")"

# press in the source, then move in steps onto the grid and let go there
xdotool mousemove $((src_x + 100)) $((src_y + 75)) mousedown 1
sleep 0.3
for step in 1 2 3 4 5; do
    xdotool mousemove $((src_x + 100 - step * (src_x + 100 - GRID_X - 400) / 5)) \
        $((src_y + 75 - step * (src_y + 75 - GRID_Y - 200) / 5))
    sleep 0.2
done
sleep 0.3
xdotool mouseup 1
for _ in $(seq 50); do
    [ -s "$XTMP/source.out" ] && break
    sleep 0.1
done
chosen=$(cat "$XTMP/source.out")
[ "$chosen" = copy ] || fail "the source was told '$chosen', not copy: $(cat "$XTMP/source.err")"
# The source lives on until the end: its drag returns before the board has
# fetched the file's name from it.

# 03\13:00\4.0: block 50 on row 3 from 13:00 to 17:00
expect_share "$orange" 325 140 150 28 "> 0.5" "the dropped day is not on the board"
expect_share "$orange" 165 406 150 28 "< 0.05" "block 50 still on the stack"
kill "$source_pid" 2>/dev/null || true
echo "1 passed, 0 failed"
