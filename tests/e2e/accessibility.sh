#!/usr/bin/env bash
# The board as a screen reader reads it through AT-SPI: the window, a block of
# today's file with its name, times, duration and where it lies, the month and
# weekday labels, the editor's names and values, the grid as a table with its
# headers and the range dragged out on it, a block dragged onto a row and
# lengthened, the table at the widest window, the text of an error report
# (a failed save, and 職員 with no program to open the list),
# and the month label's new name announced after a month step.
set -euo pipefail
exe=$1
here=$(dirname "$0")
. "$here/xvfb_lib.sh"

# Debian's own interpreter: pyatspi comes as a Debian package.
py=/usr/bin/python3
a11y_session "$0" "$@"

require_a11y
# Qt's own dialogs in English, as this script reads them, whatever the
# language of the desktop that runs it
unset LC_ALL LC_MESSAGES LANGUAGE
export LANG=C.UTF-8
reader() { timeout 60 "$py" "$here/atspi_board.py" "$@"; }

# --- today's day file: one block on row 2, 9:00 for four hours --------------
weekday=${WEEKDAYS[$(date +%w)]}
today_file=$(day_file today)
month=$(date +%Y/%m)
next_month=$(date -d "$(date +%Y-%m-01) +1 month" +%Y/%m)
prepared="$XTMP/prepared"
mkdir -p "$prepared"
crlf_cp932 '02\9:00\4.0\鈴木' >"$prepared/$today_file"

# a desktop where no program opens a text file: xdg-open's status for that
mkdir -p "$XTMP/bin"
printf '#!/bin/sh\nexit 3\n' >"$XTMP/bin/xdg-open"
chmod +x "$XTMP/bin/xdg-open"
PATH="$XTMP/bin:$PATH" start_board "$exe" "$prepared"

# --- the tree ---------------------------------------------------------------
tree="$XTMP/tree.tsv"
reader tree 鈴木 >"$tree" || fail "the board's tree could not be read"
# role, name, text, state, parent's name
expect() {
    local what=$1 line=$2
    grep -qxF "$line" "$tree" || {
        cat "$tree" >&2
        fail "$what: no line '$line'"
    }
}
tab=$'\t'
expect "window" "frame${tab}Kabrelo24${tab}${tab}enabled${tab}kabrelo24"
expect "block" "panel${tab}鈴木${tab}${tab}enabled${tab}"
expect "time label" "label${tab}9:00 13:00${tab}${tab}enabled${tab}鈴木"
expect "duration label" "label${tab}4.0${tab}${tab}enabled${tab}鈴木"
expect "month label" "label${tab}${month}${tab}${tab}enabled${tab}"
expect "save button" "push button${tab}保存${tab}${tab}enabled${tab}"
expect "weekday label" "label${tab}${weekday}${tab}${tab}enabled${tab}日"
expect "duration box" "text${tab}時間数${tab}4.0${tab}enabled${tab}"
expect "start picker" "spin button${tab}開始${tab}9:00${tab}enabled${tab}"
expect "end picker, disabled" "spin button${tab}終了${tab}13:00${tab}disabled${tab}"
expect "day picker" "spin button${tab}日${tab}$(date +%-d)${tab}enabled${tab}"
expect "name box" "combo box${tab}名前${tab}${tab}enabled${tab}"
expect "name box's entry" "text${tab}名前${tab}---${tab}enabled${tab}名前"
expect "an hour header" "table column header${tab}6${tab}${tab}enabled${tab}"
expect "a row header" "table row header${tab}8${tab}${tab}enabled${tab}"
echo "tree: $(wc -l <"$tree") objects, every text found"

# --- the grid as a table, and where the blocks are ----------------------------
got=$(reader table 20) || fail "no table of 20 columns"
[ "$got" = "1${tab}9${tab}20${tab}6" ] || fail "table: tables, rows, columns, cell (0, 1): $got"
got=$(reader describe "9:00 13:00") || fail "no block from 9:00 to 13:00"
[ "$got" = "2行目、9:00から13:00まで、4.0時間" ] || fail "today's block described as '$got'"
got=$(reader parked) || fail "no parked block"
[ "$got" = "待機中" ] || fail "a parked block described as '$got'"
# a left drag from cell (3, 2) to cell (7, 5) tints columns 3 to 7 of row 5
xdotool mousemove $((GRID_X + 3 * 40 + 20)) $((GRID_Y + 2 * 44 + 22)) mousedown 1
xdotool mousemove $((GRID_X + 7 * 40 + 20)) $((GRID_Y + 5 * 44 + 22)) sleep 0.2 mouseup 1
sleep 0.3
got=$(reader selected) || fail "no selected cells"
[ "$got" = "5,3 5,4 5,5 5,6 5,7" ] || fail "selected cells: $got"
# the top block dragged onto row 3 at 13:00, then lengthened by a notch
drag_top_block 325 140
got=$(reader describe "13:00 17:00") || fail "no block from 13:00 to 17:00"
[ "$got" = "3行目、13:00から17:00まで、4.0時間" ] || fail "the dragged block described as '$got'"
click_panel $((270 + 28)) $((5 + 13))
xdotool mousemove $((GRID_X + 100)) $((GRID_Y + 300)) click 4
got=$(reader describe "13:00 17:15") || fail "the wheel did not lengthen the block"
[ "$got" = "3行目、13:00から17:15まで、4.25時間" ] || fail "the lengthened block described as '$got'"
# the widest window shows all 26 columns
xdotool windowsize "$BOARD_WINDOW" 1190 550
got=$(reader table 26) || fail "no table of 26 columns at the widest window"
[ "$got" = "1${tab}9${tab}26${tab}6" ] || fail "widest table: $got"
xdotool windowsize "$BOARD_WINDOW" 830 480

# --- an error report: today's file turned into a folder fails the save ------
rm "$BOARD_DATA/$today_file"
mkdir "$BOARD_DATA/$today_file"
read -r x y < <(reader centre "push button" 保存) || fail "the save button has no place"
xdotool mousemove "$x" "$y" click 1
box="$XTMP/box.tsv"
reader alert "を作成できません" >"$box" || fail "no error report read"
cat "$box"
grep -q "^alert${tab}" "$box" || fail "the report is no alert"
grep -qF "$today_file" "$box" || fail "the report does not name the day file"

# --- 職員 with no program to open the list: the report says so -------------
read -r x y < <(reader centre "push button" 職員) || fail "the 職員 button has no place"
xdotool mousemove "$x" "$y" click 1
reader alert "開けません" >"$box" || fail "no error report after 職員 with nothing to open the list"
cat "$box"
grep -qF "List1.txt" "$box" || fail "the report does not name the staff list"

# --- a caption change is announced: the month step ---------------------------
heard=$(reader press ">" "$next_month") || fail "the month label's change was not announced"
echo "heard: $heard"
[ "$heard" = "label${tab}${next_month}" ] || fail "announced by something else: $heard"
kill -0 "$BOARD_PID" 2>/dev/null || fail "the board ended"
echo "1 passed, 0 failed"
