#!/usr/bin/env bash
# The desktop program started at login ("/startup") on a desktop without a
# notification area, with a real notification service (dunst) on a session bus
# of the test's own:
#  - a desktop notification says that Ambience runs and changes the wallpaper;
#    its action "Open Ambience", chosen through dunst's context menu, shows the window;
#  - a tray (trayer) started afterwards gets the icon, without a restart;
#  - a later start in the same login says nothing more; in a new login, the
#    action "Stop changing the wallpaper" turns the automatic change off, removes
#    the autostart entry and ends the program.
# Run through with_desktop.sh --no-tray. Usage: agent_late_tray_test.sh BIN_DIR SCREENSHOT_DIR
set -uo pipefail
bin=$1
shots=$2
source "$(dirname "$0")/desktop_lib.sh"
fail() { report_failure agent_late_tray_failure "$@"; [ -s "$work/dunst.log" ] && tail -5 "$work/dunst.log" >&2; exit 1; }
command -v dunst >/dev/null && command -v dunstctl >/dev/null || { echo "SKIPPED: dunst is not installed"; exit 77; }

use_home home
export PATH=/usr/bin:/bin:$PATH NO_AT_BRIDGE=1
cp "$bin"/*.zip "$AMBIENCE_PROGRAM_DIR/" 2>/dev/null || fail "no sample packs in $bin"
# The clock icon, automatic changes on (as a login start has them).
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Ambience\\Ambience\\Options]\r\n"AutoChangeIcon"=dword:00000002\r\n"AutoChangeEnabled"=dword:00000001\r\n' \
  >"$XDG_CONFIG_HOME/Ambience/registry.reg"
# No tray service to wait for at login: tell at once.
export AMBIENCE_NOTIFICATION_AREA_GRACE_MS=0

dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus.address" 4>"$work/bus.pid" ||
  fail "no session bus"
export DBUS_SESSION_BUS_ADDRESS=$(cat "$work/bus.address")
pids+=("$(cat "$work/bus.pid")")
# dunst's context menu asks a dmenu-like program to pick an action from its
# lines on standard input: this one picks the line named in $work/pick.
cat >"$work/pick.sh" <<PICK
#!/bin/sh
grep -m1 -F "\$(cat "$work/pick")"
PICK
chmod +x "$work/pick.sh"
cat >"$work/dunstrc" <<RC
[global]
dmenu = $work/pick.sh
RC
dunst -config "$work/dunstrc" >"$work/dunst.log" 2>&1 &
pids+=("$!")
service_up() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
    string:org.freedesktop.Notifications 2>/dev/null | grep -q true
}
wait_for 20 service_up || fail "dunst did not take the notification service"
# Every notification sent, as the bus carries it.
dbus-monitor --session "interface='org.freedesktop.Notifications',member='Notify'" >"$work/notify.log" 2>&1 &
pids+=("$!")
wait_for 10 test -s "$work/notify.log" || fail "dbus-monitor did not start"
notified() { [ "$(grep -c 'member=Notify' "$work/notify.log")" -ge "$1" ]; }
displayed() { [ "$(dunstctl count displayed 2>/dev/null)" -ge 1 ]; }

# 1. A login start on a desktop without a notification area.
"$bin/ambience" /startup 2>"$work/ambience.log" &
prog=$!
pids+=("$prog")
wait_for 30 notified 1 || fail "no desktop notification was sent"
wait_for 10 displayed || fail "dunst shows no notification"
grep -q 'string "Ambience is running"' "$work/notify.log" || fail "the notification does not say Ambience runs"
grep -q 'changes your desktop wallpaper' "$work/notify.log" || fail "the notification does not say what it does"
sleep 0.3
shot agent_late_tray_notification
has_window && fail "\"/startup\" showed the window"
echo "Open Ambience" >"$work/pick"
dunstctl action 0 || fail "dunstctl action failed"
wait_for 30 has_window || fail "the action \"Open Ambience\" did not show the window"

# 2. A tray comes up afterwards: the icon appears in it.
trayer --edge bottom --align right --widthtype pixel --width 120 --heighttype pixel --height 28 \
       --SetDockType true --SetPartialStrut true --expand false --transparent false >"$work/trayer.log" 2>&1 &
trayer=$!
pids+=("$trayer")
tray_geometry() {
  xwininfo -root -tree 2>/dev/null | grep '"panel" "trayer"' | head -1 |
    sed -E 's/.* ([0-9]+)x([0-9]+)[+-][0-9]+[+-][0-9]+ +\+(-?[0-9]+)\+(-?[0-9]+).*/\3 \4 \1 \2/' | grep -E '^[0-9 -]+$'
}
icon_docked() { # the clock face's yellow inside trayer's window
  read -r tx ty tw th < <(tray_geometry) || return 1
  import -window root -crop "${tw}x${th}+${tx}+${ty}" +repage "$work/tray.png" 2>/dev/null || return 1
  # Not grep -q: convert, cut short, would fail the pipeline.
  [ -n "$(convert "$work/tray.png" -depth 8 txt:- | grep -i '#FFFF00')" ]
}
wait_for 30 icon_docked || fail "the icon did not appear in the tray started after the program (tray at $(tray_geometry))"
shot agent_late_tray_icon
kill "$prog"; wait "$prog" 2>/dev/null
kill "$trayer"; wait "$trayer" 2>/dev/null

# 3. Started again in the same login, still without a tray: nothing more is said.
told() { grep -c 'string "Ambience is running"' "$work/notify.log"; }
before=$(told)
"$bin/ambience" /startup 2>>"$work/ambience.log" &
prog=$!
pids+=("$prog")
# Once the program has answered ambience-cli, its start-up (and any notice) is
# behind it; a notification of our own then marks that point on the bus.
wait_for 60 bash -c "'$bin/ambience-cli' refresh >/dev/null 2>&1" || fail "the program did not answer ambience-cli"
gdbus call --session --dest org.freedesktop.Notifications --object-path /org/freedesktop/Notifications \
  --method org.freedesktop.Notifications.Notify test 0 '' marker '' '[]' '{}' 1 >/dev/null || fail "no marker notification"
wait_for 10 grep -q 'string "marker"' "$work/notify.log" || fail "the marker did not reach the bus"
[ "$(told)" -eq "$before" ] || fail "the same login was told twice"
kill "$prog"; wait "$prog" 2>/dev/null

# 4. A new login: the action "Stop changing the wallpaper" turns the automatic change off.
dunstctl close-all
export XDG_RUNTIME_DIR=$HOME/run2
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
"$bin/ambience" /startup 2>>"$work/ambience.log" &
prog=$!
pids+=("$prog")
newly_told() { [ "$(told)" -gt "$before" ]; }
wait_for 30 newly_told || fail "a new login was not told"
wait_for 10 displayed || fail "dunst shows no notification in the new login"
echo "Stop changing the wallpaper" >"$work/pick"
dunstctl action 0 || fail "dunstctl action failed"
ended() { ! kill -0 "$prog" 2>/dev/null; }
wait_for 30 ended || fail "the program still runs after the automatic change was turned off"
registry | grep -qi '"AutoChangeEnabled"=dword:00000000' || fail "the automatic change is still on: $(registry | grep -i AutoChange)"
[ ! -e "$XDG_CONFIG_HOME/autostart/ambience.desktop" ] || fail "the autostart entry is still there"
echo "agent late-tray test: all checks passed"
