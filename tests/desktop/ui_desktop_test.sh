#!/usr/bin/env bash
# The desktop program on a real X display, driven like a user: start it with the
# sample packs, pick a pack, press Refresh (Alt+R), and check that ambience.bmp was
# written, became the root window's wallpaper and was counted; a second start ends
# with -1 and brings the hidden window back; "/install" composes exactly once.
# Run through with_desktop.sh. Usage: ui_desktop_test.sh BIN_DIR SCREENSHOT_DIR
set -uo pipefail
bin=$1
shots=$2
source "$(dirname "$0")/desktop_lib.sh"

fail() {
  echo "FAIL: $*" >&2
  for w in $(xdotool search --name . 2>/dev/null); do echo "  window $w: $(xdotool getwindowname "$w")" >&2; done
  shot ui_failure
  for log in "$work"/*.log; do [ -s "$log" ] && { echo "--- $log" >&2; tail -20 "$log" >&2; }; done
  exit 1
}

no_window() { [ -z "$(main_window)" ]; }
counted() { [ "$(desktops_changed)" -eq "$1" ]; }

mkdir -p "$work/program"
cp "$bin"/*.zip "$work/program/" 2>/dev/null || fail "no sample packs in $bin"
export AMBIENCE_SEED=11
use_home first

"$bin/ambience" 2>"$work/first.log" &
first=$!
pids+=("$first")
wait_for 60 has_window || fail "the main window did not appear"
wid=$(main_window)
sleep 0.5
shot ui_start

eval "$(xdotool getwindowgeometry --shell "$wid")"
scale=$(awk -v w="$WIDTH" 'BEGIN { print w / 601 }')
at() { awk -v s="$scale" -v v="$1" 'BEGIN { printf "%d", v * s }'; }
# The list starts at (16, 17) plus the tab bar; its cells are 75 units square, two
# to a row. With the two sample packs the "more packs" item opens the second row.
xdotool mousemove --window "$wid" "$(at 50)" "$(at 150)" click 1
sleep 1
shot ui_more_packs
# Pick the first pack: a click on the first icon of the list.
xdotool mousemove --window "$wid" "$(at 50)" "$(at 75)" click 1
sleep 1
shot ui_pack_selected

before=$(desktops_changed)
xdotool windowactivate --sync "$wid" 2>/dev/null
xdotool key --window "$wid" alt+r
sleep 0.2
shot ui_busy # best effort: the composition may be over already
wallpaper=$XDG_DATA_HOME/Ambience/Ambience/ambience.bmp
wait_for 60 counted $((before + 1)) || fail "DesktopsChanged did not go up by one"
[ -s "$wallpaper" ] || fail "ambience.bmp was not written"
head -c 2 "$wallpaper" | grep -q BM || fail "ambience.bmp is no BMP file"
xprop -root _XROOTPMAP_ID | grep -q 'pixmap id' || fail "the root window has no wallpaper pixmap"
sleep 0.5
shot ui_after_refresh
# The screen away from the window shows the file's pixels.
pixel() { convert "$1" -crop 1x1+"$2"+"$3" -depth 8 txt:- | tail -1 | grep -o '#[0-9A-Fa-f]\{6\}'; }
for xy in "5 5" "20 300"; do
  set -- $xy
  [ "$(pixel "$wallpaper" "$1" "$2")" = "$(pixel "$shots/ui_after_refresh.png" "$1" "$2")" ] ||
    fail "the screen at $1,$2 does not show ambience.bmp"
done

# Close hides the window (automatic changing is on by default). The title bar's
# close button is the rightmost one, half a title bar above the client area.
# (xwininfo's absolute position: xdotool's adds the frame offset once more).
ax=$(xwininfo -id "$wid" | awk '/Absolute upper-left X/ { print $NF }')
ay=$(xwininfo -id "$wid" | awk '/Absolute upper-left Y/ { print $NF }')
top=$(xprop -id "$wid" _NET_FRAME_EXTENTS | sed 's/.*= *//' | cut -d, -f3 | tr -d ' ')
xdotool mousemove $((ax + WIDTH - 10)) $((ay - ${top:-20} / 2)) click 1
wait_for 30 no_window || fail "closing did not hide the window"

# A second start ends with -1 and brings the first window to the front.
"$bin/ambience"
status=$?
[ "$status" -eq 255 ] || fail "the second start ended with $status, not -1"
wait_for 30 has_window || fail "the first window did not come back"
kill -0 "$first" 2>/dev/null || fail "the first instance ended"
active=$(xdotool getactivewindow 2>/dev/null)
[ "$active" = "$(main_window)" ] || echo "note: the window came back but is not the active one" >&2
sleep 0.5
shot ui_second_start
# A termination request (as at log-out) ends the program in order.
kill "$first"
wait "$first" 2>/dev/null
status=$?
[ "$status" -eq 0 ] || fail "SIGTERM ended the program with $status, not in order"

# "/install" composes once, on the first activation only.
use_home install
"$bin/ambience" /install 2>"$work/install.log" &
inst=$!
pids+=("$inst")
wait_for 60 counted 1 || fail "/install did not compose"
wait_for 30 has_window || fail "no window with /install"
wid=$(main_window)
xdotool windowminimize "$wid" 2>/dev/null
sleep 1
"$bin/ambience" # brings it back: a new activation
sleep 3
[ "$(desktops_changed)" -eq 1 ] || fail "/install composed again on a later activation"
shot ui_install
echo "ui desktop test: all checks passed"
