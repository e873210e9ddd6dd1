#!/usr/bin/env bash
# On a Japanese desktop (LANG=ja_JP.UTF-8) Qt's own dialogs speak Japanese:
# Ctrl+P's print dialog, read through AT-SPI as a screen reader reads it, is
# titled 印刷 and its buttons read 印刷 and キャンセル, none of them English.
set -euo pipefail
exe=$1
here=$(dirname "$0")
. "$here/xvfb_lib.sh"
# Debian's own interpreter: pyatspi comes as a Debian package.
py=/usr/bin/python3
a11y_session "$0" "$@"

require_a11y

# Qt takes the language from the environment, whether or not the system has
# generated the locale
unset LC_ALL LC_MESSAGES LANGUAGE
export LANG=ja_JP.UTF-8
start_board "$exe"
xdotool key ctrl+p

# the program's windows and push buttons, once the dialog's cancel button
# shows: "window <TAB> title" and "button <TAB> name" lines
seen=$(timeout 60 "$py" - "$here" <<'PY'
import sys, time
sys.path.insert(0, sys.argv[1])
import atspi_board as a
app, _ = a.wait_for(lambda n: n.getRoleName() == "push button" and n.name.startswith("キャンセル"))
if app is None:
    a.fail("no button キャンセル within %d s" % a.WAIT_S)
for n, _ in a.walk(app):
    if n.getRoleName() in ("dialog", "frame"):
        print("window\t" + n.name)
    if n.getRoleName() == "push button":
        print("button\t" + n.name)
PY
) || fail "the print dialog could not be read after Ctrl+P"
grep -q $'^window\t印刷' <<<"$seen" || fail "no window titled 印刷 among:"$'\n'"$seen"
buttons=$(sed -n $'s/^button\t//p' <<<"$seen")
grep -qx '印刷\((P)\)\?' <<<"$buttons" || fail "no button 印刷 among:"$'\n'"$buttons"
grep -qx 'キャンセル\((C)\)\?' <<<"$buttons" || fail "no button キャンセル among:"$'\n'"$buttons"
! grep -qiE '^(&?print|cancel|ok|properties)' <<<"$buttons" ||
    fail "English buttons among:"$'\n'"$buttons"
xdotool key Escape
kill -0 "$BOARD_PID" 2>/dev/null || fail "the board ended"
echo "1 passed, 0 failed"
