#!/usr/bin/env bash
# Two users of one machine, A and B, in the same team: B, watching a folder
# with inotify, never opens a save's temporary file of A's private day; A's
# day keeps its owner, group and mode when B saves it in a group folder (775)
# and in a sticky one (1777), and A saves it again; B's exclusive lock on a
# day does not keep the board from loading it. Needs root to make the users
# (removed at the end); skips otherwise. Saves go through save_driver, the
# board's replace without a window; the load is the board's own.
# usage: other_users.sh BOARD SAVE_DRIVER
set -euo pipefail
exe=$1
driver=$2
. "$(dirname "$0")/xvfb_lib.sh"
[ "$(id -u)" = 0 ] || skip "making throwaway users needs root"
for tool in useradd userdel groupadd groupdel runuser flock /usr/bin/python3; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is missing"
done

tag=$$
team=kabteam$tag
user_a=kaba$tag
user_b=kabb$tag
T=$(mktemp -d)
cleanup() {
    # the users' processes end first, or userdel refuses
    touch "$T/stop"
    if [ -n "${WATCHER:-}" ]; then wait "$WATCHER" || true; fi
    if [ -n "${LOCK_PID:-}" ]; then wait "$LOCK_PID" || true; fi
    if [ -n "${XTMP:-}" ]; then stop_x; fi
    userdel "$user_a" 2>/dev/null || true
    userdel "$user_b" 2>/dev/null || true
    groupdel "$team" 2>/dev/null || true
    rm -rf "$T"
}
trap cleanup EXIT
groupadd "$team" || fail "groupadd"
# each with a group of its own (useradd's default) and the team besides
useradd -M -s /usr/sbin/nologin -G "$team" "$user_a" || fail "useradd $user_a"
useradd -M -s /usr/sbin/nologin -G "$team" "$user_b" || fail "useradd $user_b"

# what the users run must be theirs to reach: the test's folder may not be
chmod 755 "$T"
cp "$driver" "$T/save_driver"
cp "$(dirname "$0")/open_new_files.py" "$T/"
chmod 755 "$T/save_driver" "$T/open_new_files.py"

# as_user USER UMASK COMMAND...
as_user() {
    local who=$1 mask=$2
    shift 2
    runuser -u "$who" -- sh -c "umask $mask; exec \"\$@\"" sh "$@"
}
# save USER UMASK FILE TEXT: the text saved as that user
save() {
    printf '%s\r\n' "$4" | as_user "$1" "$2" "$T/save_driver" "$3"
}
owner() { stat -c '%U:%G %a' "$1"; }
day='12;07月.txt'

# --- a private day, watched ---------------------------------------------------
mkdir "$T/private"
chown "$user_a:" "$T/private"
chmod 755 "$T/private"
save "$user_a" 077 "$T/private/$day" '01\09:00\4.0\a' || fail "A's first save"
[ "$(owner "$T/private/$day")" = "$user_a:$user_a 600" ] ||
    fail "A's new day is $(owner "$T/private/$day"), not 600"
mkdir "$T/b"
chown "$user_b" "$T/b"
as_user "$user_b" 022 /usr/bin/python3 "$T/open_new_files.py" "$T/private" \
    "$T/b/ready" "$T/stop" "$day" >"$T/watch.out" 2>&1 &
WATCHER=$!
for _ in $(seq 50); do
    [ -e "$T/b/ready" ] && break
    sleep 0.1
done
[ -e "$T/b/ready" ] || fail "the watcher did not start: $(cat "$T/watch.out")"
for n in $(seq 25); do
    save "$user_a" 022 "$T/private/$day" "0$((n % 8 + 1))\\09:00\\4.0\\a$n" || fail "A's save $n"
done
sleep 0.5
touch "$T/stop"
wait "$WATCHER" || true
WATCHER=
made=$(sed -n 's/^made \([0-9]*\) .*/\1/p' "$T/watch.out")
opened=$(sed -n 's/.* opened \([0-9]*\):.*/\1/p' "$T/watch.out")
echo "inotify reader: $(cat "$T/watch.out")"
[ "${made:-0}" -ge 25 ] || fail "the watcher saw ${made:-no} temporary files of 25 saves"
[ "${opened:-x}" = 0 ] || fail "B opened a temporary file of A's private day: $(cat "$T/watch.out")"
[ "$(owner "$T/private/$day")" = "$user_a:$user_a 600" ] ||
    fail "the saves made A's day $(owner "$T/private/$day")"
# nor a version of it; the last ten are kept
[ "$(ls "$T/private/.versions/$day" | wc -l)" = 10 ] || fail "not ten versions of 26 saves"
for v in "$T/private/.versions/$day"/*; do
    as_user "$user_b" 022 cat "$v" >/dev/null 2>&1 && fail "B read the version $v"
done

# --- a day saved by both in a team's folder -----------------------------------
for mode in 775 1777; do
    dir="$T/shared$mode"
    mkdir "$dir"
    if [ $mode = 775 ]; then chown "$user_a:$team" "$dir"; fi
    chmod $mode "$dir"
    save "$user_a" 002 "$dir/$day" '01\09:00\4.0\A' || fail "$mode: A's first save"
    chgrp "$team" "$dir/$day"
    want="$user_a:$team 664"
    [ "$(owner "$dir/$day")" = "$want" ] || fail "$mode: A's day is $(owner "$dir/$day")"
    save "$user_b" 022 "$dir/$day" '02\10:00\2.0\B' || fail "$mode: B cannot save A's day"
    [ "$(owner "$dir/$day")" = "$want" ] ||
        fail "$mode: B's save made A's day $(owner "$dir/$day"), not $want"
    printf '02\\10:00\\2.0\\B\r\n' | cmp -s - "$dir/$day" || fail "$mode: B's save is not in the day"
    newest=$(ls "$dir/.versions/$day" | tail -n1)
    printf '01\\09:00\\4.0\\A\r\n' | cmp -s - "$dir/.versions/$day/$newest" ||
        fail "$mode: A's day is not kept as the version B's save replaced"
    save "$user_a" 022 "$dir/$day" '03\11:00\3.0\A' || fail "$mode: A cannot save again"
    [ "$(owner "$dir/$day")" = "$want" ] || fail "$mode: A's save made $(owner "$dir/$day")"
    printf '03\\11:00\\3.0\\A\r\n' | cmp -s - "$dir/$day" || fail "$mode: A's second save lost"
    echo "$mode folder: $(owner "$dir/$day") after A, B and A saved; versions: $(ls "$dir/.versions/$day" | tr '\n' ' ')"
done

# --- B's lock on a day the board loads -----------------------------------------
rm -f "$T/stop"
# start_x sets its own clean-up: the users must go too
eval "xvfb_$(declare -f start_x)"
start_x() {
    xvfb_start_x
    trap cleanup EXIT
}
require_x
next_file=$(day_file "$(date -d "$(date +%Y-%m-01) +1 month" +%F)")
prepared="$XTMP/prepared"
mkdir -p "$prepared"
# row 5, 9:00 for 3.5 hours: Left 160, Top 223, 140 wide
crlf_cp932 '05\09:00\3.5\x' >"$prepared/$next_file"
start_board "$exe" "$prepared"
chmod 755 "$XTMP" "$XTMP/prog" "$BOARD_DATA"
chmod 644 "$BOARD_DATA/$next_file"
# held until the clean-up
runuser -u "$user_b" -- flock -x "$BOARD_DATA/$next_file" \
    sh -c 'while [ ! -e "$1" ]; do sleep 0.1; done' sh "$T/stop" &
LOCK_PID=$!
for _ in $(seq 50); do
    flock -n -s "$BOARD_DATA/$next_file" true || break
    sleep 0.1
done
flock -n -s "$BOARD_DATA/$next_file" true && fail "B holds no lock on the day"
click_panel $((178 + 7)) $((43 + 12)) # >
# block 50, the first record's, on row 5
expect_share "245,173,112" 165 228 130 28 "> 0.5" \
    "the day B holds locked did not load: its record is not on row 5"
echo "B's flock -x on $next_file: the board loaded its record"
echo "1 passed, 0 failed"
