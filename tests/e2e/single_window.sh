#!/usr/bin/env bash
# The board in a real X server: one window titled Kabrelo24 with an 830 x 480
# client area at (27, 107), titled so again on every activation whatever
# another program wrote there; a second copy ends at once without a window; a
# copy started after the first was killed runs; an error at start-up is
# reported in a box captioned Kabrelo24 too.
set -euo pipefail
exe=$1
. "$(dirname "$0")/xvfb_lib.sh"
require_x

start_board "$exe"
first=$BOARD_PID
id=$BOARD_WINDOW
geometry=$(xdotool getwindowgeometry "$id")
echo "$geometry"
grep -q 'Position: 27,107' <<<"$geometry" || fail "window not at 27,107"
grep -q 'Geometry: 830x480' <<<"$geometry" || fail "client area not 830x480"

# another program renames the window; the next activation names it again
xdotool set_window --name Other "$id"
root=$(xwininfo -root | awk '/Window id/ { print $4 }')
xdotool windowfocus "$root"
sleep 0.3
xdotool windowfocus "$id"
for _ in $(seq 20); do
    [ "$(xprop -id "$id" _NET_WM_NAME)" = '_NET_WM_NAME(UTF8_STRING) = "Kabrelo24"' ] && break
    sleep 0.1
done
xprop -id "$id" WM_NAME _NET_WM_NAME
xprop -id "$id" WM_NAME | grep -q '"Kabrelo24"$' || fail "activation did not title the window again"
# the program's own icon, for the title bar and the task switcher
icons=$(xprop -id "$id" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' ') || true
echo "$icons"
[ "$icons" = "Icon (16 x 16) Icon (32 x 32) Icon (48 x 48) Icon (64 x 64) " ] ||
    fail "the window's icons: $icons"

windows_before=$(xdotool search --onlyvisible --name '.' | wc -l)
start=$(date +%s%N)
rc=0
timeout 10 "$XTMP/prog/kabrelo24" || rc=$?
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
echo "second copy ended with $rc after ${elapsed} ms"
[ "$rc" -eq 0 ] || fail "second copy exit code $rc"
[ "$elapsed" -lt 5000 ] || fail "second copy did not end at once"
windows_after=$(xdotool search --onlyvisible --name '.' | wc -l)
[ "$windows_after" -eq "$windows_before" ] || fail "second copy left a window"
kill -0 "$first" 2>/dev/null || fail "first copy ended"

kill -9 "$first"
wait "$first" 2>/dev/null || true
"$XTMP/prog/kabrelo24" &
third=$!
wait_window Kabrelo24 >/dev/null || fail "a copy started after a crash did not run"
kill "$third"
wait "$third" 2>/dev/null || true

# today's file fails at its first record: the report comes before the window
crlf_cp932 '01\bad\2\a' >"$BOARD_DATA/$(day_file today)"
"$XTMP/prog/kabrelo24" &
box=$(wait_window Kabrelo24) || fail "no report captioned Kabrelo24 at start-up"
xprop -id "$box" _NET_WM_WINDOW_TYPE | grep -q DIALOG || fail "the first window is not the report"
xdotool windowfocus "$box" key Return
opened=""
for _ in $(seq 50); do
    for w in $(xdotool search --onlyvisible --name '^Kabrelo24$'); do
        [ "$w" != "$box" ] && opened=$w
    done
    [ -n "$opened" ] && break
    sleep 0.1
done
[ -n "$opened" ] || fail "the window did not open after the report"
echo "1 passed, 0 failed"
