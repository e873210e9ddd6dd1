#!/usr/bin/env bash
# A board killed with two days left unsaved: the next start tells the
# desktop once, over D-Bus (未保存の作業があります and the two days), the
# month window marks the other day 未保存, and its 復元 brings that day's
# dragged block back onto the board, its day file untouched. A start with
# nothing left unsaved tells nothing.
set -euo pipefail
exe=$1
here=$(dirname "$0")
. "$here/xvfb_lib.sh"

# Debian's own interpreter: pyatspi comes as a Debian package.
py=/usr/bin/python3
KAB_A11Y_IMPORTS="from gi.repository import Gio"
a11y_session "$0" "$@"

require_a11y
reader() { timeout 60 "$py" "$here/atspi_board.py" "$@"; }

notices="$XTMP/notices.txt"
: >"$notices"
"$py" "$here/notification_listener.py" "$notices" &
listener=$!
for _ in $(seq 100); do [ -e "$notices.ready" ] && break; sleep 0.1; done
[ -e "$notices.ready" ] || fail "the test's notification service did not start"

today=$(date +%-d)
other=$((today <= 25 ? today + 2 : today - 2))
other_date=$(date +%Y-%m-)$(printf %02d "$other")
day_text() { echo "$(date -d "$1" +%-m)月$(date -d "$1" +%-d)日(${WEEKDAYS[$(date -d "$1" +%w)]})"; }
prepared="$XTMP/prepared"
mkdir -p "$prepared"
crlf_cp932 '02\9:00\4.0\鈴木' >"$prepared/$(day_file today)"
crlf_cp932 '01\10:00\2.0\佐藤' >"$prepared/$(day_file "$other_date")"
crlf_cp932 鈴木 佐藤 >"$prepared/List1.txt"
cp "$prepared/$(day_file "$other_date")" "$XTMP/other-before.txt"
start_board "$exe" "$prepared"
sleep 1
[ ! -s "$notices" ] || fail "a start with nothing left unsaved told: $(cat "$notices")"

# today and the other day each get a block dragged onto a row, unsaved
drag_top_block 325 184
# a click on the weekday label, inside the day picker, selects the day
click_panel $((217 + 32 + 10)) $((41 + 5 + 10))
xdotool type --delay 50 "$other"
sleep 0.5
drag_top_block 325 272
folder=$(ls -d "$XDG_STATE_HOME"/kabrelo24/recovery/*/)
for _ in $(seq 50); do
    [ "$(ls "$folder" | wc -l)" = 2 ] && break
    sleep 0.1
done
[ "$(ls "$folder" | wc -l)" = 2 ] || fail "not two recovery files: $(ls "$folder")"

kill -9 "$BOARD_PID"
wait "$BOARD_PID" 2>/dev/null || true
start_board "$exe"
for _ in $(seq 100); do [ -s "$notices" ] && break; sleep 0.1; done
[ -s "$notices" ] || fail "the start after the kill told the desktop nothing"
sleep 0.5
[ "$(wc -l <"$notices")" = 1 ] || fail "not told once: $(cat "$notices")"
IFS=$'\t' read -r _ summary body <"$notices"
[ "$summary" = 未保存の作業があります ] || fail "the notification's summary: $summary"
for d in today "$other_date"; do
    grep -qF "$(day_text "$d")" <<<"$body" || fail "the notification lacks $(day_text "$d"): $body"
done
echo "told: $summary / $body"

xdotool key ctrl+m
month_window=$(wait_window "月間表 $(date +%Y)年$(date +%-m)月 - Kabrelo24") ||
    fail "Ctrl+M opened no month window"
got=$(reader month 佐藤 "$other") || fail "the month table could not be read"
IFS=$'\t' read -r _ _ day_head _ _ _ <<<"$got"
case $day_head in *未保存*) ;; *) fail "the other day is not marked 未保存: $day_head" ;; esac

# the other day's cell, then 復元 pressed as a screen reader presses it
xdotool windowfocus --sync "$month_window"
sleep 0.3
xdotool key Down Home
for _ in $(seq 2 "$other"); do xdotool key Right; done
sleep 0.3
timeout 60 "$py" - "$here" <<'PY' || fail "復元 could not be pressed"
import sys
sys.path.insert(0, sys.argv[1])
import pyatspi
import atspi_board as a
_, button = a.wait_for(lambda n: n.getRoleName() == "push button" and n.name == "復元"
                       and n.getState().contains(pyatspi.STATE_ENABLED))
if button is None:
    a.fail("no enabled button 復元 within %d s" % a.WAIT_S)
a.press(button)
PY
sleep 0.5
tab=$'\t'
reader tree 日 >"$XTMP/tree.tsv" || fail "the board's tree could not be read"
grep -qF "spin button${tab}日${tab}${other}${tab}" "$XTMP/tree.tsv" ||
    fail "the board did not move to day $other: $(grep "${tab}日${tab}" "$XTMP/tree.tsv")"
got=$(reader describe "13:00 17:00") || fail "no block from 13:00 to 17:00 after 復元"
case $got in 6行目*) ;; *) fail "the restored block: $got" ;; esac
cmp -s "$XTMP/other-before.txt" "$BOARD_DATA/$(day_file "$other_date")" ||
    fail "復元 wrote the day file"
kill -0 "$BOARD_PID" 2>/dev/null || fail "the board ended"
kill "$listener" 2>/dev/null || true
echo "1 passed, 0 failed"
