#!/usr/bin/env bash
# The board in a real X server: one window titled Kabrelo24 with an 830 x 480
# client area at (27, 107); a second copy ends at once without a window; a
# copy started after the first was killed runs.
set -u
exe=$1
. "$(dirname "$0")/xvfb_lib.sh"
start_x

start_board "$exe"
first=$BOARD_PID
id=$BOARD_WINDOW
geometry=$(xdotool getwindowgeometry "$id")
echo "$geometry"
grep -q 'Position: 27,107' <<<"$geometry" || fail "window not at 27,107"
grep -q 'Geometry: 830x480' <<<"$geometry" || fail "client area not 830x480"

windows_before=$(xdotool search --onlyvisible --name '.' | wc -l)
start=$(date +%s%N)
timeout 10 "$XTMP/prog/kabrelo24"
rc=$?
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
echo "second copy ended with $rc after ${elapsed} ms"
[ "$rc" -eq 0 ] || fail "second copy exit code $rc"
[ "$elapsed" -lt 5000 ] || fail "second copy did not end at once"
windows_after=$(xdotool search --onlyvisible --name '.' | wc -l)
[ "$windows_after" -eq "$windows_before" ] || fail "second copy left a window"
kill -0 "$first" 2>/dev/null || fail "first copy ended"

kill -9 "$first"
wait "$first" 2>/dev/null
"$XTMP/prog/kabrelo24" &
third=$!
wait_window Kabrelo24 >/dev/null || fail "a copy started after a crash did not run"
kill "$third"
echo "1 passed, 0 failed"
