#!/usr/bin/env bash
# The board under ibus with Mozc switched on, as a Japanese desktop has it:
# digits typed into the duration box, the start picker and the day picker
# arrive as digits, and what Mozc would compose in the name box never reaches
# it, while the arrow keys still choose names. A text pasted through the X
# selection that would break a record leaves the duration box as it was.
#
# The Mozc server refuses to run as root: as root, the script runs itself
# again as a throwaway user, removed afterwards. Skips (77) where ibus, Mozc
# or such a user cannot be had.
set -euo pipefail
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xvfb_lib.sh"
command -v ibus-daemon >/dev/null && [ -x /usr/lib/ibus-mozc/ibus-engine-mozc ] ||
    skip "ibus or ibus-mozc is not installed"
command -v dbus-run-session >/dev/null || skip "dbus-run-session is not installed"
command -v xclip >/dev/null || skip "xclip is not installed"

if [ "$(id -u)" -eq 0 ]; then
    user="kabim$$"
    useradd --create-home --shell /bin/bash "$user" 2>/dev/null || skip "useradd failed"
    cleanup() {
        pkill -KILL -u "$user" 2>/dev/null || true
        sleep 0.2
        userdel --remove "$user" 2>/dev/null || true
    }
    trap cleanup EXIT
    home=$(getent passwd "$user" | cut -d: -f6)
    mkdir "$home/e2e"
    cp "$here"/*.sh "$here"/*.py "$home/e2e/"
    cp "$exe" "$home/kabrelo24"
    chown -R "$user:" "$home"
    runuser -u "$user" -- env -i PATH="$PATH" HOME="$home" LANG=C.UTF-8 \
        bash "$home/e2e/input_method.sh" "$home/kabrelo24"
    exit $?
fi
# a session bus of its own, for ibus
[ -n "${KAB_IM_SESSION:-}" ] || exec env KAB_IM_SESSION=1 dbus-run-session -- bash "$0" "$@"

require_x
# Mozc keeps its settings and dictionaries in the home folder: a private one.
export HOME="$XTMP/home"
mkdir -p "$HOME/.config/mozc"
cat >"$HOME/.config/mozc/ibus_config.textproto" <<'CONF'
engines {
  name : "mozc-jp"
  longname : "Mozc"
  layout : "default"
  layout_variant : ""
  layout_option : ""
  rank : 80
}
active_on_launch: True
CONF
export QT_IM_MODULE=ibus

# Mozc does not always come up switched on: a probe line edit in the same
# session must turn a typed "a" into あ first. A few fresh sessions are tried.
probe_mozc() {
    local out="$XTMP/probe.out" pid
    ibus-daemon --daemonize --replace --xim --panel=disable 2>/dev/null
    for _ in $(seq 50); do
        ibus engine mozc-jp >/dev/null 2>&1 || true
        [ "$(ibus engine 2>/dev/null)" = mozc-jp ] && break
        sleep 0.2
    done
    : >"$out"
    /usr/bin/python3 - "$out" <<'PY' &
import sys
from PyQt6.QtWidgets import QApplication, QLineEdit
app = QApplication(sys.argv)
edit = QLineEdit()
edit.setWindowTitle("improbe")
edit.textChanged.connect(lambda t: open(sys.argv[1], "w").write(t))
edit.show()
edit.activateWindow()
app.exec()
PY
    pid=$!
    wait_window improbe >/dev/null || { kill "$pid"; return 1; }
    sleep 0.5
    xdotool search --name '^improbe$' windowfocus --sync 2>/dev/null || true
    xdotool type --delay 80 a
    xdotool key Return
    for _ in $(seq 20); do
        [ "$(cat "$out")" = "あ" ] && break
        sleep 0.1
    done
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    [ "$(cat "$out")" = "あ" ]
}
on=0
for _ in 1 2 3; do
    probe_mozc && { on=1; break; }
    ibus exit >/dev/null 2>&1 || true
    sleep 1
done
[ $on = 1 ] || skip "Mozc did not switch on"
trap 'ibus exit >/dev/null 2>&1 || true; stop_x' EXIT

# --- the data folder ----------------------------------------------------------
today_file=$(day_file "$(date +%F)")
day15_file=$(day_file "$(date +%Y-%m-15)")
prepared="$XTMP/prepared"
mkdir -p "$prepared"
crlf_cp932 山田 佐藤 鈴木 >"$prepared/List1.txt"
# block 50: row 3, 13:00 for four hours (Left 320, Top 135, 160 wide)
crlf_cp932 '03\13:00\4.0\---' >"$prepared/$today_file"
# row 7, 6:00 for 2 hours
[ "$day15_file" = "$today_file" ] || crlf_cp932 '07\06:00\2\山田' >"$prepared/$day15_file"
orange="245,173,112"

start_board "$exe" "$prepared"
saved="$BOARD_DATA/$today_file"
expect_share "$orange" 325 140 150 28 "> 0.5" "today's block is not on row 3"

# A press on the block's lower right half focuses the duration box with its
# text selected: 1 2 make a 12-hour block.
xdotool mousemove $((GRID_X + 320 + 2 + 140)) $((GRID_Y + 135 + 2 + 28)) click 1
sleep 0.3
xdotool key 1 2
save_expect "$saved" '03\13:00\12\---'

# A press on the upper right half of the block, now 480 px wide, focuses the
# start picker on its hour.
xdotool mousemove $((GRID_X + 320 + 2 + 400)) $((GRID_Y + 135 + 2 + 8)) click 1
sleep 0.3
xdotool key 1 0
save_expect "$saved" '03\10:00\12\---'

# Typed letters in the name box change nothing; the arrows still choose.
click_panel $((75 + 30)) $((7 + 11))
xdotool type --delay 80 sato
xdotool key Return
save_expect "$saved" '03\10:00\12\---'
xdotool key Down
save_expect "$saved" '03\10:00\12\山田'

# A paste through the X selection (the middle button) of a text holding the
# record separator, a line break or a blank is refused whole.
click_panel $((270 + 28)) $((5 + 13))
for text in '5\x\y' $'5\r\n99' '5 6'; do
    printf '%s' "$text" | xclip -selection primary
    xdotool mousemove $((PANEL_X + 270 + 28)) $((PANEL_Y + 5 + 13)) click 2
    sleep 0.3
    save_expect "$saved" '03\10:00\12\山田'
done
# a paste of digits arrives
printf '3' | xclip -selection primary
xdotool key End
xdotool mousemove $((PANEL_X + 270 + 50)) $((PANEL_Y + 5 + 13)) click 2
sleep 0.3
save_expect "$saved" '03\10:00\123\山田'

# A click on the weekday label selects the day; 1 5 load day 15.
click_panel $((217 + 32 + 10)) $((41 + 5 + 10))
xdotool key 1 5
if [ "$day15_file" = "$today_file" ]; then
    expect_share "$orange" 45 140 70 28 "> 0.5" "day 15, today, does not show its saved block"
else
    expect_share "$orange" 45 316 70 28 "> 0.5" "day 15's record not on row 7 at 6:00"
fi
echo "1 passed, 0 failed"
