#!/usr/bin/env bash
# End to end on a private X server: the browser opens a real window, a click on the Customer
# header sorts, the toolbar's Close ends the program, and the next run (headless) shows the
# rows in the order kept in the settings. Skipped (exit 77) when no X server can be started.
#   e2e.sh BROWSER WORKDIR
set -uo pipefail
BROWSER="$1"
WORK="$2"
if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null; then
    echo "skipped: no xvfb-run or xdotool"
    exit 77
fi
rm -rf "$WORK"
mkdir -p "$WORK"
export BROWSER WORK XDG_DATA_HOME="$WORK/data" KELRS_SETTINGS_DIR="$WORK/settings"
# The sample database, made headless first so that the X session does not wait for it.
env -u DISPLAY "$BROWSER" --text >/dev/null || { echo "headless run failed"; exit 1; }

cat >"$WORK/session.sh" <<'INNER'
set -u
touch "$WORK/server-started"
"$BROWSER" >"$WORK/x11.out" 2>"$WORK/x11.err" &
pid=$!
win=""
for _ in $(seq 50); do
    win=$(xdotool search --name "Orders - " 2>/dev/null | head -1)
    [ -n "$win" ] && break
    sleep 0.2
done
[ -n "$win" ] || { echo "no window"; kill $pid; exit 1; }
sleep 1
eval "$(xdotool getwindowgeometry --shell "$win")"
# Below the toolbar the header; Customer is its second column.
xdotool mousemove --sync $((X + 150)) $((Y + 48)) click 1
sleep 1
import -window root "$WORK/sorted.png" 2>/dev/null
# The toolbar's Close button: the fifth button, after a separator.
xdotool mousemove --sync $((X + 230)) $((Y + 20)) click 1
for _ in $(seq 50); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.2
done
if kill -0 $pid 2>/dev/null; then echo "still running after Close"; kill $pid; exit 1; fi
wait $pid
INNER

if ! xvfb-run -a -s "-screen 0 1280x1024x24" bash "$WORK/session.sh"; then
    if [ ! -e "$WORK/server-started" ]; then
        echo "skipped: no X server could be started"
        exit 77
    fi
    cat "$WORK/x11.err" 2>/dev/null
    echo "the X session failed"
    exit 1
fi
# Reopened without a display: sorted by Customer, as it was left.
env -u DISPLAY "$BROWSER" --text >"$WORK/reopened.txt" || exit 1
first=$(sed -n 3p "$WORK/reopened.txt" | awk -F'|' '{gsub(/^ +| +$/, "", $2); print $2}')
case "$first" in
A*)
    echo "reopened sorted by Customer: $first"
    ;;
*)
    echo "not sorted by Customer after reopening: first customer '$first'"
    head -5 "$WORK/reopened.txt"
    exit 1
    ;;
esac
