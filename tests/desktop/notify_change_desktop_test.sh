#!/usr/bin/env bash
# The notification after an automatic change, on a real notification service
# (dunst) on a session bus of the test's own:
#  - with "NotifyAutomaticChange" on, the automatic change is announced: app name
#    Ambience, the picture's title, its thumbnail as "image-path", the actions
#    "Next" and "Favourite";
#  - "Favourite", chosen through dunst's context menu, marks the picture in the
#    record of the wall; "Next" changes the picture;
#  - the change asked for by hand ("Next") is not announced.
# The agent's clock runs ten times faster (AMBIENCE_CLOCK_SCALE): the first
# automatic change comes about three seconds after start.
# Run through with_desktop.sh. Usage: notify_change_desktop_test.sh BIN_DIR SCREENSHOT_DIR
set -uo pipefail
bin=$1
shots=$2
source "$(dirname "$0")/desktop_lib.sh"
fail() { report_failure notify_change_failure "$@"; [ -s "$work/dunst.log" ] && tail -5 "$work/dunst.log" >&2; exit 1; }
for tool in dunst dunstctl dbus-daemon dbus-monitor sqlite3; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done

use_home home
export PATH=/usr/bin:/bin:$PATH NO_AT_BRIDGE=1 AMBIENCE_SEED=5 AMBIENCE_CLOCK_SCALE=10
cp "$bin"/*.zip "$AMBIENCE_PROGRAM_DIR/" 2>/dev/null || fail "no sample packs in $bin"
# Automatic changes on, announced; no LastDesktopChangeTime, so one is due at once.
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Ambience\\Ambience\\Options]\r\n"AutoChangeIcon"=dword:00000002\r\n"AutoChangeEnabled"=dword:00000001\r\n' \
  >"$XDG_CONFIG_HOME/Ambience/registry.reg"
"$bin/ambience-cli" options NotifyAutomaticChange=1 >/dev/null || fail "options NotifyAutomaticChange=1"
record=$XDG_DATA_HOME/Ambience/Ambience/wall.sqlite

dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus.address" 4>"$work/bus.pid" ||
  fail "no session bus"
export DBUS_SESSION_BUS_ADDRESS=$(cat "$work/bus.address")
pids+=("$(cat "$work/bus.pid")")
# dunst's context menu asks a dmenu-like program to pick an action from its lines
# on standard input: this one picks the line that holds the text in $work/pick.
cat >"$work/pick.sh" <<PICK
#!/bin/sh
grep -m1 -F "\$(cat "$work/pick")"
PICK
chmod +x "$work/pick.sh"
cat >"$work/dunstrc" <<RC
[global]
dmenu = $work/pick.sh
# Shown until acted on: the test takes its time between the two actions.
[urgency_normal]
timeout = 0
RC
dunst -config "$work/dunstrc" >"$work/dunst.log" 2>&1 &
pids+=("$!")
service_up() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
    string:org.freedesktop.Notifications 2>/dev/null | grep -q true
}
wait_for 20 service_up || fail "dunst did not take the notification service"
dbus-monitor --session "interface='org.freedesktop.Notifications',member='Notify'" >"$work/notify.log" 2>&1 &
pids+=("$!")
wait_for 10 test -s "$work/notify.log" || fail "dbus-monitor did not start"
ours() { grep -c 'string "Ambience"' "$work/notify.log"; }
announced() { [ "$(ours)" -ge "$1" ]; }
displayed() { [ "$(dunstctl count displayed 2>/dev/null)" -ge 1 ]; }
counted() { [ "$(desktops_changed)" -ge "$1" ]; }
on_wall() { sqlite3 -readonly "$record" "SELECT pack_file || '/' || entry FROM wall WHERE primary_monitor = 1 ORDER BY id DESC LIMIT 1" 2>/dev/null; }

# 1. The first automatic change is announced with the picture and its actions.
"$bin/ambience" /startup 2>"$work/ambience.log" &
prog=$!
pids+=("$prog")
wait_for 60 counted 1 || fail "the wallpaper was not changed automatically"
wait_for 30 announced 1 || fail "the automatic change was not announced"
wait_for 10 displayed || fail "dunst shows no notification"
first=$(on_wall)
[ -n "$first" ] || fail "the record of the wall names no picture"
grep -q 'string "image-path"' "$work/notify.log" || fail "the notification carries no thumbnail"
grep -A1 'string "image-path"' "$work/notify.log" | grep -q 'file://.*\.jpg' || fail "the thumbnail is no file: $(grep -A1 image-path "$work/notify.log")"
for word in '"next"' '"Next"' '"favourite"' '"Favourite"'; do
  grep -q "string $word" "$work/notify.log" || fail "the notification lacks the action $word"
done
# Its summary is the title the record of the wall keeps for the picture.
summary=$(sqlite3 -readonly "$record" "SELECT title FROM wall WHERE primary_monitor = 1 ORDER BY id DESC LIMIT 1")
[ -n "$summary" ] && grep -qF "string \"$summary\"" "$work/notify.log" || fail "the notification does not name \"$summary\""
sleep 0.3
shot notify_change_shown

# 2. "Favourite" marks the picture in the record; the notification stays for "Next".
echo "Favourite" >"$work/pick"
dunstctl action 0 || fail "dunstctl action failed"
favourite() { [ "$(sqlite3 -readonly "$record" "SELECT COUNT(*) FROM marks WHERE favourite = 1" 2>/dev/null)" -ge 1 ]; }
wait_for 20 favourite || fail "\"Favourite\" did not mark the picture"

# 3. "Next" changes the picture; a change made by hand is not announced.
echo "Next" >"$work/pick"
wait_for 10 displayed || fail "the notification went away after \"Favourite\""
dunstctl action 0 || fail "dunstctl action failed"
wait_for 60 counted 2 || fail "\"Next\" did not change the wallpaper"
changed() { [ -n "$(on_wall)" ] && [ "$(on_wall)" != "$first" ]; }
wait_for 20 changed || fail "\"Next\" left the same picture on the wall ($first)"
# A notification of our own marks the point on the bus after which an
# announcement of the Next change would have come.
gdbus call --session --dest org.freedesktop.Notifications --object-path /org/freedesktop/Notifications \
  --method org.freedesktop.Notifications.Notify test 0 '' marker '' '[]' '{}' 1 >/dev/null || fail "no marker notification"
wait_for 10 grep -q 'string "marker"' "$work/notify.log" || fail "the marker did not reach the bus"
[ "$(ours)" -eq 1 ] || fail "the change asked for by hand was announced"
kill -0 "$prog" 2>/dev/null || fail "the program ended"
echo "notify change desktop test: all checks passed (announced \"$summary\")"
