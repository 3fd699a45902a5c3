#!/usr/bin/env bash
# End to end on a private X server, with real input (xdotool):
#   - the browser opens a real window whose first screen has the structure of the headless
#     picture (bands of the header, the cursor row and the grid lines down one strip);
#   - a click on the Customer header sorts;
#   - the search bar finds the orders of one city, and Print puts exactly those into a PDF;
#   - a cell is edited in place and the database holds the new text;
#   - the column dialog from the context menu hides a column;
#   - the toolbar's Close ends the program, and the next run (headless) shows the layout kept:
#     sorted by Customer, without the hidden column;
#   - the record chooser hands back the record chosen with the keyboard.
# Skipped (exit 77) when no X server can be started.
#   e2e.sh BROWSER WORKDIR
set -uo pipefail
E2E_LIB="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/e2e-lib.sh"
. "$E2E_LIB"
BROWSER="$1"
WORK="$2"
if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null ||
    ! command -v import >/dev/null || ! command -v pdftotext >/dev/null; then
    echo "skipped: no xvfb-run, xdotool, ImageMagick or pdftotext"
    exit 77
fi
rm -rf "$WORK"
mkdir -p "$WORK"
export E2E_LIB BROWSER WORK XDG_DATA_HOME="$WORK/data" KELRS_SETTINGS_DIR="$WORK/settings"
# The sample database and the reference picture, made headless with settings of their own so
# that the X session starts from the same fresh layout.
KELRS_SETTINGS_DIR="$WORK/reference-settings" env -u DISPLAY "$BROWSER" --png "$WORK/headless.png" \
    >/dev/null || {
    echo "headless run failed"
    exit 1
}
DB=$(ls "$XDG_DATA_HOME"/kelrslist/*.db | head -1)
export DB
# No printer: Print leaves its PDF and prints the path.
mkdir -p "$WORK/bin"
printf '#!/bin/sh\necho "no system default destination"\n' >"$WORK/bin/lpstat"
chmod +x "$WORK/bin/lpstat"
export PATH="$WORK/bin:$PATH"

cat >"$WORK/session.sh" <<'INNER'
. "$E2E_LIB"
session_start
# A click at a point of a window's client area.
click() { xdotool mousemove --sync $(($1 + $3)) $(($2 + $4)) click "${5:-1}"; }
# The band structure down the strip at x of a picture: classes of colour and their heights.
bands() {
    convert "$1" -crop "1x$3+$2+0" +repage txt:- |
        awk -F'[ ,:]+' 'NR > 1 { c = $NF; if (c != "white" && c != "silver" && c != "navy") c = "other"; print c }' |
        uniq -c | awk '{ printf "%s:%s ", $2, $1 }'
}
# The rows of the PDF the toolbar's Print made since the mark, as text (its path is printed).
printed() {
    local pdf
    pdf=$(tail -n +"$(($1 + 1))" "$WORK/x11.out" | grep '\.pdf$' | tail -1)
    [ -n "$pdf" ] && pdftotext -layout "$pdf" -
}

"$BROWSER" >"$WORK/x11.out" 2>"$WORK/x11.err" &
pid=$!
win=$(window "Orders - ")
[ -n "$win" ] || fail "no window"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$win")"

# The first screen against the headless one (the same client area inside its frame).
import -window "$win" "$WORK/first.png" 2>/dev/null
convert "$WORK/headless.png" -crop "${WIDTH}x${HEIGHT}+4+22" +repage "$WORK/headless-client.png"
[ "$(bands "$WORK/first.png" 360 "$HEIGHT")" = "$(bands "$WORK/headless-client.png" 360 "$HEIGHT")" ] ||
    fail "the window's structure differs from the headless picture"

# Sort: below the toolbar the header; Customer is its second column.
click 150 48 $X $Y
sleep 0.5

# Search: the column selector (City is its fourth entry), the criterion, Search; then Print.
bar=$((HEIGHT - 15))
click 80 $bar $X $Y
sleep 0.4
click 36 $((bar + 53)) $X $Y
sleep 0.3
click 260 $bar $X $Y
xdotool type --delay 20 "Bremen"
click 357 $bar $X $Y
sleep 0.8
mark=$(wc -l <"$WORK/x11.out")
click 195 20 $X $Y
sleep 1
printed $mark >"$WORK/searched.txt"
rows=$(grep -cE '^ *[0-9]+ ' "$WORK/searched.txt")
[ "$rows" -gt 5 ] || fail "the search prints $rows rows"
[ "$(grep -E '^ *[0-9]+ ' "$WORK/searched.txt" | grep -vc 'Bremen')" = 0 ] ||
    fail "the search prints orders of other cities: $(head -5 "$WORK/searched.txt")"
[ "$rows" = "$(sqlite3 "$DB" "SELECT COUNT(*) FROM Orders WHERE City LIKE '%Bremen%'")" ] ||
    fail "Print gave $rows rows, not every order of Bremen"

# Edit in place: a click puts the cursor on the second row, a second click on its Customer cell
# starts the editor after the double-click time; Enter stores the text.
click 156 83 $X $Y
sleep 1
click 156 83 $X $Y
sleep 1.2
xdotool key ctrl+a
xdotool type --delay 20 "Zed Zulu"
xdotool key Return
sleep 0.5
mark=$(wc -l <"$WORK/x11.out")
click 195 20 $X $Y
sleep 1
printed $mark | grep -q 'Zed Zulu' || fail "the edited text is not printed"

# Columns: the context menu's Column Configuration (its mnemonic), City chosen in the list of
# shown columns, "<<", OK.
click 256 238 $X $Y 3
sleep 0.5
xdotool key c
dlg=$(window "^Columns$")
[ -n "$dlg" ] || fail "no column dialog"
sleep 0.5
x0=$X y0=$Y
eval "$(xdotool getwindowgeometry --shell "$dlg")"
click 253 80 $X $Y
click 204 115 $X $Y
click 163 216 $X $Y
sleep 0.5
X=$x0 Y=$y0

# The toolbar's Close button: the fourth button, after a separator.
click 148 20 $X $Y
for _ in $(seq 50); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.2
done
if kill -0 $pid 2>/dev/null; then fail "still running after Close"; fi
wait $pid

# The chooser: the fourth row with the keyboard, Enter chooses it.
"$BROWSER" --chooser >"$WORK/chosen.txt" 2>"$WORK/chooser.err" &
pid=$!
dlg=$(window "^Orders$")
[ -n "$dlg" ] || fail "no chooser"
sleep 1
xdotool key --window "$dlg" Down Down Down Return
for _ in $(seq 50); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.2
done
if kill -0 $pid 2>/dev/null; then fail "the chooser is still open after Enter"; fi
wait $pid || fail "the chooser ended with $?: $(cat "$WORK/chooser.err")"
INNER

run_session

# The edit is in the database.
env -u DISPLAY "$BROWSER" --text "$DB" "SELECT OrderID, Customer FROM Orders WHERE Customer = 'Zed Zulu'" \
    >"$WORK/edited.txt" || exit 1
[ "$(grep -c ' | ' "$WORK/edited.txt")" = 2 ] || {
    echo "the edited record is not in the database"
    cat "$WORK/edited.txt"
    exit 1
}

# Reopened without a display: sorted by Customer, as it was left, and without City.
env -u DISPLAY "$BROWSER" --text >"$WORK/reopened.txt" || exit 1
header=$(sed -n 1p "$WORK/reopened.txt")
case "$header" in
*City*)
    echo "the hidden column is back after reopening: $header"
    exit 1
    ;;
esac
first=$(sed -n 3p "$WORK/reopened.txt" | awk -F'|' '{gsub(/^ +| +$/, "", $2); print $2}')
case "$first" in
A*) ;;
*)
    echo "not sorted by Customer after reopening: first customer '$first'"
    head -5 "$WORK/reopened.txt"
    exit 1
    ;;
esac

# The chooser printed the fourth row's record: the same customer as the headless chooser's.
fourth=$(env -u DISPLAY "$BROWSER" --chooser --text | sed -n 6p |
    awk -F'|' '{gsub(/^ +| +$/, "", $2); print $2}')
grep -qx "Customer=$fourth" "$WORK/chosen.txt" || {
    echo "the chooser did not hand back the fourth record ($fourth):"
    cat "$WORK/chosen.txt"
    exit 1
}
echo "sorted, searched, edited, a column hidden and kept; the chooser chose $fourth"
