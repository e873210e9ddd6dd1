#!/usr/bin/env bash
# Takes a picture of the month window as a user sees it: the board in a
# private X server on a data folder holding two weeks of this month (a staff
# list, a double booking, a night followed by an early start, a long day,
# seven days in a row), Ctrl+M typed on the board, the window captured with
# ImageMagick.
# usage: month_screenshot.sh EXECUTABLE OUT.png
set -euo pipefail
exe=$(realpath "$1")
out=$2
. "$(dirname "$0")/../tests/e2e/xvfb_lib.sh"
start_x
mkdir "$XTMP/data"
# Debian's interpreter writes the day files in the board's code page
/usr/bin/python3 - "$XTMP/data" <<'PY'
import datetime, os, sys
folder = sys.argv[1]
first = datetime.date.today().replace(day=1)
week = "月火水木金土日"
def write(name, lines):
    with open(os.path.join(folder, name), "wb") as f:
        f.write("".join(l + "\r\n" for l in lines).encode("cp932"))
write("List1.txt", ["佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "山田"])
plan = {
    "佐藤": ("9:00", "8.0", range(0, 8)),
    "鈴木": ("13:00", "6.0", [0, 1, 2, 4, 5, 8, 9, 11]),
    "高橋": ("7:00", "4.0", [1, 3, 5, 7, 9, 11, 13]),
    "田中": ("10:00", "7.5", [0, 2, 4, 6, 10, 12]),
    "伊藤": ("17:00", "5.0", [3, 4, 5, 10, 11, 12]),
    "山田": ("15:00", "8.0", [7]),
}
for d in range(14):
    day = first + datetime.timedelta(days=d)
    rows, lines = iter(range(1, 9)), []
    for name, (start, hours, days) in plan.items():
        if d in days:
            lines.append("%02d\\%s\\%s\\%s" % (next(rows), start, hours, name))
    if d == 8:
        lines.append("%02d\\7:00\\4.0\\山田" % next(rows))   # 8 hours after 23:00
        lines.append("%02d\\16:00\\3.0\\鈴木" % next(rows))  # on top of 13:00 to 19:00
    if d == 9:
        lines.append("%02d\\8:00\\9.5\\木村" % next(rows))   # not on the list, a long day
        lines.append("%02d\\12:00\\3.0\\---" % next(rows))
    write("%02d;%02d%s.txt" % (day.month, day.day, week[day.weekday()]), lines)
PY
start_board "$exe" "$XTMP/data"
sleep 0.5
xdotool key ctrl+m
id=$(wait_window "月間表 .*") || fail "no month window"
xdotool windowsize --sync "$id" 1100 520
xdotool windowmove --sync "$id" 0 0
sleep 0.8
import -window "$id" "$out"
echo "wrote $out"
