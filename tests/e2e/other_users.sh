#!/usr/bin/env bash
# Two users of one machine, A and B, in the same team: B, watching a folder
# with inotify, never opens a save's temporary file of A's private day; A's
# day keeps its owner, group and mode when B saves it in a group folder (775)
# and in a sticky one (1777), and A saves it again; a link B puts in place of
# A's day never leads A's save into A's own files, B's planted version numbers
# spoil none of A's versions, and a link B swaps in while A's versions are
# copied puts nothing but days among them; B's exclusive lock on a day does
# not keep the board from loading it; B's save of the day on A's board makes
# A's save ask first. Needs root to make the users
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
    touch "$T/stop" "$T/race-stop"
    if [ -n "${WATCHER:-}" ]; then wait "$WATCHER" || true; fi
    if [ -n "${RACER:-}" ]; then wait "$RACER" || true; fi
    if [ -n "${protected:-}" ]; then restore_protected; fi
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

# --- what B plants in a folder the team shares ---------------------------------
# A's own files live in a folder of A's; B may write the team's folder.
mkdir -p "$T/home_a"
printf 'notes\n' >"$T/home_a/notes.txt"
chown -R "$user_a:" "$T/home_a"
chmod 755 "$T/home_a"
chmod 644 "$T/home_a/notes.txt"
dir="$T/team"
mkdir "$dir"
chown "$user_a:$team" "$dir"
chmod 2775 "$dir"
save "$user_a" 002 "$dir/$day" '01\09:00\4.0\A' || fail "A's first save in the team's folder"
protected=$(cat /proc/sys/fs/protected_symlinks)
restore_protected() { echo "$protected" >/proc/sys/fs/protected_symlinks 2>/dev/null || true; }
for value in 0 1; do
    echo "$value" >/proc/sys/fs/protected_symlinks 2>/dev/null ||
        { [ "$value" = "$protected" ] || continue; }
    # B moves A's day aside and leaves a link to A's notes in its place
    as_user "$user_b" 002 mv "$dir/$day" "$dir/aside"
    as_user "$user_b" 002 ln -s "$T/home_a/notes.txt" "$dir/$day"
    save "$user_a" 002 "$dir/$day" '02\10:00\2.0\A' 2>"$T/refused" &&
        fail "protected_symlinks=$value: A's save went through B's link"
    printf 'notes\n' | cmp -s - "$T/home_a/notes.txt" ||
        fail "protected_symlinks=$value: A's notes changed"
    [ ! -e "$T/home_a/.versions" ] || fail "protected_symlinks=$value: versions in A's folder"
    [ -L "$dir/$day" ] || fail "protected_symlinks=$value: B's link was replaced"
    echo "protected_symlinks=$value, B's link to A's notes: $(iconv -f CP932 -t UTF-8 <"$T/refused")"
    rm "$dir/$day"
    mv "$dir/aside" "$dir/$day"
done
restore_protected

# B plants numbers in A's versions: twelve saves of A's still keep ten, and
# B's files stay as B left them
mkdir -p "$dir/.versions/$day"
chown "$user_a:$team" "$dir/.versions" "$dir/.versions/$day"
chmod 2775 "$dir/.versions" "$dir/.versions/$day"
for planted in 999999 18446744073709551614 000002 000000; do
    printf 'B\r\n' | as_user "$user_b" 002 tee "$dir/.versions/$day/$planted" >/dev/null
done
for n in $(seq 12); do
    save "$user_a" 002 "$dir/$day" "0$((n % 8 + 1))\\09:00\\4.0\\A$n" || fail "A's save $n"
done
mine=$(find "$dir/.versions/$day" -type f -user "$user_a" | wc -l)
[ "$mine" = 10 ] || fail "A has $mine versions after twelve saves among B's numbers, not ten"
for planted in 999999 18446744073709551614 000002 000000; do
    printf 'B\r\n' | cmp -s - "$dir/.versions/$day/$planted" || fail "B's $planted was touched"
done
echo "B's planted version numbers: A keeps $(find "$dir/.versions/$day" -type f -user "$user_a" -printf '%f ' | tr ' ' '\n' | sort | tr '\n' ' ')"

# B swaps A's day for a link to A's private file while A's saves copy it as a
# version (written in place: the day has a second name): no version ever
# holds anything but a day
printf 'secret\n' >"$T/home_a/secret.txt"
chown "$user_a:" "$T/home_a/secret.txt"
chmod 600 "$T/home_a/secret.txt"
rm -rf "$dir/.versions"
ln "$dir/$day" "$T/home_a/second-name"
as_user "$user_b" 002 sh -c '
    while [ ! -e "$3" ]; do
        mv "$1/$2" "$1/swap" 2>/dev/null && ln -s "$4" "$1/$2" 2>/dev/null
        rm -f "$1/$2" 2>/dev/null; mv "$1/swap" "$1/$2" 2>/dev/null
    done' sh "$dir" "$day" "$T/race-stop" "$T/home_a/secret.txt" &
RACER=$!
printf '' | as_user "$user_a" 002 "$T/save_driver" --repeat 1000 "$dir/$day" 2>/dev/null || true
touch "$T/race-stop"
wait "$RACER" || true
if grep -rl secret "$dir/.versions" 2>/dev/null; then fail "a version holds A's secret"; fi
printf 'secret\n' | cmp -s - "$T/home_a/secret.txt" || fail "A's secret changed"
echo "1000 saves against a swapping link: $(find "$dir/.versions" -type f | wc -l) versions, none with the secret"

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

# --- B saves the day on A's board: A's save asks first -------------------------
chgrp "$team" "$BOARD_DATA" "$BOARD_DATA/$next_file"
chmod 2775 "$BOARD_DATA"
chmod 664 "$BOARD_DATA/$next_file"
save "$user_b" 002 "$BOARD_DATA/$next_file" '06\10:00\2.0\B' || fail "B cannot save the day"
crlf_cp932 '06\10:00\2.0\B' >"$T/theirs"
# the question box beside the board, given the focus (no window manager)
question() {
    local id
    for _ in $(seq 50); do
        for id in $(xdotool search --onlyvisible --name '^Kabrelo24$' 2>/dev/null); do
            [ "$id" != "$BOARD_WINDOW" ] && xdotool windowfocus --sync "$id" && return 0
        done
        sleep 0.1
    done
    fail "no question before writing over B's save"
}
click_save
question
xdotool key Escape
sleep 0.5
cmp -s "$T/theirs" "$BOARD_DATA/$next_file" || fail "キャンセル: B's day was written over"
click_save
question
# from キャンセル, the safe default, to 上書き
xdotool key Tab space
sleep 0.5
crlf_cp932 '05\09:00\3.5\x' | cmp -s - "$BOARD_DATA/$next_file" || fail "上書き: the board is not saved"
newest=$(ls "$BOARD_DATA/.versions/$next_file" | tail -n1)
cmp -s "$T/theirs" "$BOARD_DATA/.versions/$next_file/$newest" || fail "B's day is not kept as a version"
echo "B saved the day on A's board: asked twice, キャンセル kept B's day, 上書き kept it as version $newest"

# --- B plants a recovery folder in the team's data folder ----------------------
# The board kept its recovery files there once: B leaves a link named like a
# day to a file of A's, and a board of B's own under another day's name. The
# next start reads neither, and A's recovery files go to A's own folder.
printf 'profile\n' >"$XTMP/profile"
chmod 644 "$XTMP/profile"
as_user "$user_b" 002 mkdir "$BOARD_DATA/.recovery"
as_user "$user_b" 002 ln -s "$XTMP/profile" "$BOARD_DATA/.recovery/$next_file"
today_file=$(day_file today)
crlf_cp932 '01\06:00\9\B' | as_user "$user_b" 002 tee "$BOARD_DATA/.recovery/$today_file" >/dev/null
kill "$BOARD_PID"
wait "$BOARD_PID" 2>/dev/null || true
start_board "$exe" ""
click_panel $((178 + 7)) $((43 + 12)) # >
drag_top_block 325 140
own=""
for _ in $(seq 15); do
    for found in "$XDG_STATE_HOME"/kabrelo24/recovery/*/"$next_file"; do
        [ -f "$found" ] && own=$found
    done
    [ -n "$own" ] && break
    sleep 0.2
done
[ -n "$own" ] || fail "no recovery file of A's own after B's planted folder"
[ "$(stat -c %a "$(dirname "$own")")" = 700 ] || fail "A's recovery folder is open to others"
printf 'profile\n' | cmp -s - "$XTMP/profile" || fail "B's link changed A's file"
[ -L "$BOARD_DATA/.recovery/$next_file" ] || fail "B's link was taken"
crlf_cp932 '01\06:00\9\B' | cmp -s - "$BOARD_DATA/.recovery/$today_file" || fail "B's file was taken"
[ ! -e "$(dirname "$own")/$today_file" ] || fail "B's board became A's recovery file"
echo "B's planted .recovery: left alone; A's recovery file is $own"
echo "1 passed, 0 failed"
