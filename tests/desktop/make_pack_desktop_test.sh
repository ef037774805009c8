#!/usr/bin/env bash
# "Make a pack..." on a real X display, driven like a user: open the Packs page's
# menu, choose the item, add a folder of pictures through the folder dialog, press
# Make, and check that the pack was installed into the user's folder and is listed
# and selected. Screenshots of each step go to SCREENSHOT_DIR.
# Run through with_desktop.sh. Usage: make_pack_desktop_test.sh BIN_DIR SCREENSHOT_DIR
set -uo pipefail
bin=$1
shots=$2
source "$(dirname "$0")/desktop_lib.sh"

fail() {
  report_failure make_pack_failure "$@"
  exit 1
}

use_home maker
pictures="$work/Summer Trip"
mkdir -p "$pictures/day two"
convert -size 900x600 gradient:orange-purple "$pictures/1 - 2026 - Sunset - Ann.jpg"
convert -size 600x900 plasma:fractal -seed 3 "$pictures/day two/Harbour.png"
convert -size 400x300 xc:skyblue -fill white -draw "circle 200,150 200,60" "$pictures/Cloud.tif"
export AMBIENCE_SEED=5

start_main_window || fail "the main window did not appear"

# The Packs page's menu, on the empty part of the list; "Make a pack..." is the
# third item from its end, before "Download art..." and "History..." (Up from the
# top wraps to the last).
# A menu slow to open on a busy machine takes the keys meant for it elsewhere: the
# menu is opened again, up to three times.
open_make_pack() {
  xdotool mousemove --window "$wid" "$(at 120)" "$(at 250)" click 3
  sleep 1
  shot make_pack_menu
  xdotool key Up Up Up Return
  wait_for 15 has_named '^Make a pack$'
}
for _ in 1 2 3; do
  open_make_pack && break
  xdotool key Escape
done
has_named '^Make a pack$' || fail "the Make a pack dialog did not appear"
dialog=$(window_named '^Make a pack$')
sleep 0.5
shot make_pack_dialog

# Add a folder: the folder dialog takes a typed path.
xdotool windowactivate --sync "$dialog" 2>/dev/null
xdotool key --window "$dialog" alt+f
wait_for 30 has_named 'Pictures for the pack' || fail "the folder dialog did not appear"
chooser=$(window_named 'Pictures for the pack')
sleep 0.5
xdotool windowactivate --sync "$chooser" 2>/dev/null
xdotool key --window "$chooser" ctrl+a
xdotool type --window "$chooser" --delay 5 "$pictures"
xdotool key --window "$chooser" Return
wait_for 30 gone 'Pictures for the pack' || fail "the folder dialog did not close"
sleep 0.5
xdotool windowactivate --sync "$dialog" 2>/dev/null
xdotool key --window "$dialog" alt+a
xdotool type --window "$dialog" --delay 5 "Me"
sleep 0.3
shot make_pack_filled

xdotool key --window "$dialog" alt+m
pack="$XDG_DATA_HOME/Ambience/Packs/Summer Trip.zip"
wait_for 60 test -s "$pack" || fail "no pack was installed at $pack"
wait_for 30 gone '^Making the pack$' || fail "the progress dialog did not close"
sleep 1
shot make_pack_done

AMBIENCE_PROGRAM_DIR=$work/program "$bin/ambience-cli" pack show "$pack" >"$work/show.txt" 2>&1 || fail "pack show failed"
grep -q "Sunset	Ann" "$work/show.txt" || fail "the pack's captions: $(cat "$work/show.txt")"
grep -q "Pictures: *3" "$work/show.txt" || fail "the pack does not hold 3 pictures: $(cat "$work/show.txt")"
grep -q "Author: *Me" "$work/show.txt" || fail "the pack's author: $(cat "$work/show.txt")"
echo "make pack desktop test passed"
