#!/usr/bin/env bash
# Windows on a bare X server (no desktop to stack or focus them), with real input (xdotool):
#   - the record form that the toolbar's New opens is above the main window and has the
#     keyboard;
#   - Enter on the empty form refuses it with a message box that opens above the (disabled)
#     main window and takes the keyboard, so that Enter closes it.
# Skipped (exit 77) when no X server can be started.
#   e2e-windows.sh BROWSER WORKDIR
set -uo pipefail
E2E_LIB="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/e2e-lib.sh"
. "$E2E_LIB"
BROWSER="$1"
WORK="$2"
if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null ||
    ! command -v xwininfo >/dev/null; then
    echo "skipped: no xvfb-run, xdotool or xwininfo"
    exit 77
fi
rm -rf "$WORK"
mkdir -p "$WORK"
export E2E_LIB BROWSER WORK XDG_DATA_HOME="$WORK/data" KELRS_SETTINGS_DIR="$WORK/settings"

cat >"$WORK/session.sh" <<'INNER'
. "$E2E_LIB"
session_start
# The named top-level windows, the topmost first.
stack() { xwininfo -root -children | awk '/^ +0x/ && !/has no name/ { print $1 }'; }
# Whether window $1 has the keyboard and is the topmost of the named windows.
on_top_with_keyboard() {
    local id
    id=$(printf '0x%x' "$1")
    [ "$(xdotool getwindowfocus)" = "$1" ] && [ "$(stack | head -1)" = "$id" ]
}

"$BROWSER" >"$WORK/x11.out" 2>"$WORK/x11.err" &
pid=$!
win=$(window "Orders - ")
[ -n "$win" ] || fail "no window"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$win")"

# New, the toolbar's first button: the form opens above the main window with the keyboard.
xdotool mousemove --sync $((X + 27)) $((Y + 20)) click 1
form=$(window "^New record$")
[ -n "$form" ] || fail "no record form"
sleep 0.8
on_top_with_keyboard "$form" || fail "the form is not on top with the keyboard: $(stack)"

# Enter on the empty form: the message box about the missing value, on top, with the keyboard.
xdotool key Return
box=$(window "^KelRSList Browser$")
[ -n "$box" ] || fail "no message box"
sleep 0.8
on_top_with_keyboard "$box" ||
    fail "the message box is not on top with the keyboard (focus $(xdotool getwindowfocus), stack $(stack | tr '\n' ' '))"
# Enter reaches it and closes it.
xdotool key Return
for _ in $(seq 25); do
    xdotool search --name "^KelRSList Browser$" >/dev/null 2>&1 || break
    sleep 0.2
done
xdotool search --name "^KelRSList Browser$" >/dev/null 2>&1 && fail "Enter did not close the message box"
kill $pid
INNER

run_session
echo "the form and its message box opened on top with the keyboard"
