#!/usr/bin/env bash
# The notification-area agent on a real X display with a tray (trayer): "/startup"
# shows no window but an icon, here the clock face; a click on the icon shows the
# window and the next one hides it; with a fresh store and the window hidden the
# wallpaper changes about half a minute after start; ambience-cli's "next" is carried
# out by the running program. The agent's clock runs ten
# times faster (AMBIENCE_CLOCK_SCALE), so that half minute takes three seconds.
# Run through with_desktop.sh. Usage: agent_desktop_test.sh BIN_DIR SCREENSHOT_DIR
set -uo pipefail
bin=$1
shots=$2
source "$(dirname "$0")/desktop_lib.sh"

fail() {
  echo "FAIL: $*" >&2
  shot agent_failure
  exit 1
}

use_home home
export AMBIENCE_SEED=5 AMBIENCE_CLOCK_SCALE=10
cp "$bin"/*.zip "$AMBIENCE_PROGRAM_DIR/" 2>/dev/null || fail "no sample packs in $bin"
# The clock icon; no LastDesktopChangeTime, so a change is due at once.
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Ambience\\Ambience\\Options]\r\n"AutoChangeIcon"=dword:00000002\r\n' \
  >"$XDG_CONFIG_HOME/Ambience/registry.reg"

no_window() { [ -z "$(main_window)" ]; }
counted() { [ "$(desktops_changed)" -ge "$1" ]; }

# The tray: trayer's window. Pixels of a colour inside it, as "x y" screen positions.
tray_geometry() {
  # trayer's panel window: ("panel" "trayer")  WxH+x+y  +X+Y (absolute)
  xwininfo -root -tree 2>/dev/null | grep '"panel" "trayer"' | head -1 |
    sed -E 's/.* ([0-9]+)x([0-9]+)[+-][0-9]+[+-][0-9]+ +\+(-?[0-9]+)\+(-?[0-9]+).*/\3 \4 \1 \2/' | grep -E '^[0-9 -]+$'
}
tray_pixels() { # colour (as #RRGGBB)
  read -r tx ty tw th < <(tray_geometry) || return 1
  import -window root -crop "${tw}x${th}+${tx}+${ty}" +repage "$work/tray.png" 2>/dev/null || return 1
  convert "$work/tray.png" -depth 8 txt:- | grep -i "$1" |
    sed -E 's/^([0-9]+),([0-9]+):.*/\1 \2/' | awk -v tx="$tx" -v ty="$ty" '{print $1 + tx, $2 + ty}'
}
icon_docked() { [ -n "$(tray_pixels '#FFFF00')" ]; }

start=$(date +%s.%N)
"$bin/ambience" /startup &
prog=$!
pids+=("$prog")

wait_for 30 icon_docked || fail "no icon in the tray"
sleep 0.3
shot agent_startup
no_window || fail "\"/startup\" showed the window"
# The clock face: its hands end in silver pixels; the small icon has none.
[ -n "$(tray_pixels '#C0C0C0')" ] || fail "the tray icon shows no clock hands"

# The first pass, half a minute (scaled) after start, changes the desktop.
wait_for 60 counted 1 || fail "the wallpaper was not changed automatically"
elapsed=$(awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { print e - s }')
awk -v e="$elapsed" 'BEGIN { exit !(e >= 2.5) }' || fail "the change came after ${elapsed}s, before the first pass"
[ -s "$XDG_DATA_HOME/Ambience/Ambience/ambience.bmp" ] || fail "ambience.bmp was not written"
[ "$(desktops_changed)" -eq 1 ] || fail "more than one change at start"
kill -0 "$prog" 2>/dev/null || fail "the program ended"
echo "automatic change after ${elapsed}s (scaled 10x)"

# Left click on the icon: the window comes; again: it goes.
read -r ix iy < <(tray_pixels '#FFFF00' | head -1)
xdotool mousemove "$ix" "$iy" click 1
wait_for 30 has_window || fail "a click on the icon did not show the window"
sleep 0.5
shot agent_shown
sleep 1 # well apart from the first click: no double click
xdotool mousemove "$ix" "$iy" click 1
wait_for 30 no_window || fail "a second click on the icon did not hide the window"
shot agent_hidden

# Right click: the agent menu opens at the icon; Escape closes it.
xdotool mousemove "$ix" "$iy" click 3
sleep 0.7
shot agent_menu
xdotool key Escape
no_window || fail "the menu brought the window up"

# ambience-cli hands "next" to the running program, which composes and counts it.
before=$(desktops_changed)
out=$("$bin/ambience-cli" next 2>&1)
status=$?
[ "$status" -eq 0 ] || fail "ambience-cli next ended with $status: $out"
echo "$out" | grep -q "set by the running Ambience" || fail "ambience-cli next did not hand over: $out"
[ "$(desktops_changed)" -eq $((before + 1)) ] || fail "the handed-over change was not counted once"
no_window || fail "the handed-over action showed the window"

# The program goes on running in the tray.
kill -0 "$prog" 2>/dev/null || fail "the program ended"
echo "agent desktop test: all checks passed"
