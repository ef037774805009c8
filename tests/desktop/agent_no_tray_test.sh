#!/usr/bin/env bash
# The desktop program on a display without a notification area: closing the window
# (automatic changing is on) hides it and says once how to get it back; a second
# start brings it back, and closing it again asks nothing.
# Run through with_desktop.sh --no-tray. Usage: agent_no_tray_test.sh BIN_DIR SCREENSHOT_DIR
set -uo pipefail
bin=$1
shots=$2
source "$(dirname "$0")/desktop_lib.sh"
fail() {
  echo "FAIL: $*" >&2
  shot agent_no_tray_failure
  exit 1
}

use_home home

# Visible top-level windows titled like the program: the main window and any box.
windows() { xdotool search --onlyvisible --name '^Ambience' 2>/dev/null; }
count() { windows | wc -l; }
has_windows() { [ "$(count)" -ge "$1" ]; }
no_window() { [ "$(count)" -eq 0 ]; }
widest() { # the main window: the widest of them
  for w in $(windows); do echo "$(xdotool getwindowgeometry --shell "$w" | grep WIDTH | cut -d= -f2) $w"; done |
    sort -rn | head -1 | cut -d' ' -f2
}

"$bin/ambience" &
prog=$!
pids+=("$prog")
wait_for 60 has_windows 1 || fail "the main window did not appear"
sleep 0.5
wid=$(widest)
close_active() { # the window manager's own close key, to the active window
  xdotool windowactivate --sync "$1" 2>/dev/null
  sleep 0.3
  xdotool key alt+F4
}
close_active "$wid"
# The main window goes; a message box says how to get it back. Wait for both, as
# either may take a moment on a busy machine.
main_gone() { ! windows | grep -qx "$wid"; }
main_gone_and_box() { main_gone && has_windows 1; }
wait_for 30 main_gone || fail "the main window did not go away"
wait_for 30 main_gone_and_box || fail "no message after the first close"
sleep 0.5
shot agent_no_tray_notice
[ "$(count)" -eq 1 ] || fail "more than the message box is shown after the first close"
box=$(windows | head -1)
xdotool windowactivate --sync "$box" 2>/dev/null
sleep 0.3
xdotool key Return
wait_for 30 no_window || fail "the message box did not close"
kill -0 "$prog" 2>/dev/null || fail "the program ended"

# A second start brings the window back; closing again says nothing more.
"$bin/ambience"
wait_for 30 has_windows 1 || fail "a second start did not bring the window back"
sleep 0.5
wid=$(widest)
close_active "$wid"
wait_for 30 no_window || fail "the second close did not hide the window"
sleep 1
no_window || fail "a message came again on the second close"
kill -0 "$prog" 2>/dev/null || fail "the program ended"
echo "agent no-tray test: all checks passed"
