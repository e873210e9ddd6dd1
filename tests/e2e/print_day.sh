#!/usr/bin/env bash
# Ctrl+P, pressed while the name box has the focus, opens the print dialog;
# its "print to file" writes one PDF page whose text holds the date, the
# whole hour scale, every name and time on the board (a block placed and not
# saved among them) and the hours per person. The day file is not touched.
set -euo pipefail
exe=$1
. "$(dirname "$0")/xvfb_lib.sh"
for tool in pdftotext pdfinfo; do
    command -v $tool >/dev/null 2>&1 || skip "$tool is missing (Debian poppler-utils)"
done
require_x
# Qt's own dialogs in English, as this script reads them, whatever the
# language of the desktop that runs it
unset LC_ALL LC_MESSAGES LANGUAGE
export LANG=C.UTF-8

today=$(date +%F)
today_file=$(day_file "$today")
title="$(date -d "$today" +%Y)年$((10#$(date -d "$today" +%m)))月$((10#$(date -d "$today" +%d)))日(${WEEKDAYS[$(date -d "$today" +%w)]})"

prepared="$XTMP/prepared"
mkdir -p "$prepared"
crlf_cp932 山田 佐藤 >"$prepared/List1.txt"
# 佐藤 twice, once past midnight: 8.0 + 9.0 hours
crlf_cp932 '01\07:00\8.0\佐藤' '02\09:30\2.25\鈴木' '06\22:00\9.0\佐藤' >"$prepared/$today_file"
cp "$prepared/$today_file" "$XTMP/before.txt"

start_board "$exe" "$prepared"
# one more block, not saved: row 4 from 13:00 for four hours, no name
drag_top_block 325 184

# the name box's filter drops every key but the arrows: Ctrl+P still prints
click_panel $((75 + 30)) $((7 + 11))
xdotool key ctrl+p
dialog=$(wait_window 'Print.*') || fail "no print dialog after Ctrl+P"
# Qt's own dialog: with no print server its one printer is "Print to File
# (PDF)"; Alt+F is its output file's field
out="$XTMP/printed day.pdf"
xdotool key --window "$dialog" alt+f
sleep 0.2
xdotool key ctrl+a
xdotool type --delay 20 "$out"
xdotool key Return
for _ in $(seq 50); do
    [ -s "$out" ] && ! xdotool search --onlyvisible --name 'Print.*' >/dev/null 2>&1 && break
    sleep 0.1
done
[ -s "$out" ] || fail "no PDF at $out after printing to a file"
sleep 0.3

pages=$(pdfinfo "$out" | sed -n 's/^Pages: *//p')
[ "$pages" = 1 ] || fail "the PDF has $pages pages"
pdfinfo "$out" | grep -q 'Page size:.*842 x 595\|Page size:.*792 x 612' ||
    fail "not one landscape page: $(pdfinfo "$out" | grep 'Page size')"
text=$(pdftotext -layout "$out" -)
expect() {
    grep -qF -- "$1" <<<"$text" || fail "the printed text lacks $2 ('$1'):"$'\n'"$text"
}
expect "$title" "the date and weekday"
# all 25 hour columns, though the window at its least width shows 6:00 to 0:00
grep -qE '(^| )6 +7 +8 .* 23 +0 +1 +2 +3 +4 +5 +6( |$)' <<<"$text" ||
    fail "the hour scale is not 6 to 6 of the next day:"$'\n'"$text"
for name in 佐藤 鈴木 ---; do expect "$name" "a name on the board"; done
for time in 7:00 15:00 9:30 11:45 22:00 13:00 17:00; do expect "$time" "a time on the board"; done
# the hours per person: 佐藤 8.0 + 9.0, 鈴木 2.25, the unnamed block 4.0
grep -qE '佐藤 +2 +17\.00' <<<"$text" || fail "no 17.00 hours for 佐藤:"$'\n'"$text"
grep -qE '鈴木 +1 +2\.25' <<<"$text" || fail "no 2.25 hours for 鈴木:"$'\n'"$text"
grep -qE '合計 +4 +23.25' <<<"$text" || fail "no total of 23.25 hours:"$'\n'"$text"
cmp -s "$XTMP/before.txt" "$BOARD_DATA/$today_file" || fail "printing changed the day file"
kill -0 "$BOARD_PID" 2>/dev/null || fail "the board ended"
echo "1 passed, 0 failed"
