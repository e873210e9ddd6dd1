#!/usr/bin/env bash
# The board as a screen reader reads it through AT-SPI: the window, a block of
# today's file with its name, times and duration, the month and weekday
# labels, the editor's values, the text of an error report, and the month
# label's new name announced after a month step.
set -u
exe=$1
here=$(dirname "$0")
. "$here/xvfb_lib.sh"

# Debian's own interpreter: pyatspi comes as a Debian package.
py=/usr/bin/python3
skip() {
    echo "SKIP: $*"
    exit 0
}

# A private session bus, from which the accessibility bus is started on
# demand. Without DISPLAY, so that the bus launcher marks no real desktop.
if [ -z "${KAB_A11Y_SESSION:-}" ]; then
    for tool in dbus-run-session Xvfb xdotool iconv; do
        command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
    done
    [ -x /usr/libexec/at-spi-bus-launcher ] || skip "at-spi-bus-launcher is not installed"
    "$py" -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is not installed"
    dbus-run-session -- true 2>/dev/null || skip "no session bus can be started"
    exec env -u DISPLAY -u AT_SPI_BUS_ADDRESS KAB_A11Y_SESSION=1 \
        dbus-run-session -- bash "$0" "$@"
fi

start_x
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
reader() { timeout 60 "$py" "$here/atspi_board.py" "$@"; }
# The bus is up when its registry answers, before the program has started:
# a program missing from it later is then the program's fault.
timeout 30 "$py" -c 'import pyatspi; pyatspi.Registry.getDesktop(0).childCount' \
    >"$XTMP/bus.log" 2>&1 ||
    skip "the accessibility bus did not start: $(grep -v '^dbus-daemon' "$XTMP/bus.log" | tail -n1)"

# --- today's day file: one block on row 2, 9:00 for four hours --------------
weekdays=(日 月 火 水 木 金 土)
weekday=${weekdays[$(date +%w)]}
today_file="$(date +%m);$(date +%d)${weekday}.txt"
month=$(date +%Y/%m)
next_month=$(date -d "$(date +%Y-%m-01) +1 month" +%Y/%m)
prepared="$XTMP/prepared"
mkdir -p "$prepared"
printf '02\\9:00\\4.0\\鈴木\r\n' | iconv -f UTF-8 -t CP932 >"$prepared/$today_file"

start_board "$exe" "$prepared"

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
expect "weekday label" "label${tab}${weekday}${tab}${tab}enabled${tab}"
expect "save button" "push button${tab}保存${tab}${tab}enabled${tab}"
expect "duration box" "text${tab}${tab}4.0${tab}enabled${tab}"
expect "start picker" "spin button${tab}${tab}9:00${tab}enabled${tab}"
expect "end picker, disabled" "spin button${tab}${tab}13:00${tab}disabled${tab}"
expect "day picker" "spin button${tab}${tab}$(date +%-d)${tab}enabled${tab}"
echo "tree: $(wc -l <"$tree") objects, every text found"

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

# --- a caption change is announced: the month step ---------------------------
heard=$(reader press ">" "$next_month") || fail "the month label's change was not announced"
echo "heard: $heard"
[ "$heard" = "label${tab}${next_month}" ] || fail "announced by something else: $heard"
kill -0 "$BOARD_PID" 2>/dev/null || fail "the board ended"
echo "1 passed, 0 failed"
