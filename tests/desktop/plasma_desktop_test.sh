#!/usr/bin/env bash
# Plasma itself (kwin_x11 and plasmashell) on a private display, brought up once,
# on a session bus and a system bus of this test's own with a private runtime
# folder and home:
#  - one output (with_desktop.sh --no-wm): ambience-cli's change shows on the
#    desktop above the panel; Ambience, started at login before plasmashell and
#    its tray service, has its icon registered once they are up; the lock
#    screen's greeter shows the picture Ambience set for it;
#  - two outputs (with_dummy_xorg.sh, DUMMY0 1920x1080 and DUMMY1 1080x1920
#    upright beside it, the argument "two"): each output's desktop shows its own
#    exposition.
# kwin runs without compositing, so the X root window holds what is on the screen.
# Usage: plasma_desktop_test.sh BIN_DIR SCREENSHOT_DIR [one|two]
set -uo pipefail
bin=$1
shots=$2
outputs=${3:-one}
source "$(dirname "$0")/desktop_lib.sh"
fail() { report_failure "plasma_${outputs}_failure" "$@"; [ -s "$work/plasmashell.log" ] && tail -5 "$work/plasmashell.log" >&2; exit 1; }
for program in kwin_x11 plasmashell; do
  command -v $program >/dev/null || { echo "SKIPPED: $program is not installed"; exit 77; }
done

use_home plasma
export XDG_CACHE_HOME=$HOME/cache NO_AT_BRIDGE=1 PATH=/usr/bin:/bin:$PATH QT_QPA_PLATFORM=xcb
export XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true KDE_SESSION_VERSION=5 XDG_SESSION_TYPE=x11 KWIN_COMPOSE=N
cp "$bin"/ambience-*.zip "$AMBIENCE_PROGRAM_DIR/"
# Plasma asks the system bus for logind, UPower, NetworkManager and the like: it
# gets one of its own, never the machine's.
start_system_bus || fail "no system bus"
start_session_bus || fail "no session bus"

kwin_x11 >"$work/kwin.log" 2>&1 &
pids+=("$!")
wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_for 30 wm_up || fail "kwin did not start"
# Ambience starts at login before Plasma's tray service, as autostart programs
# often do (no automatic change, which would race the changes below).
if [ "$outputs" = one ]; then
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Ambience\\Ambience\\Options]\r\n"AutoChangeEnabled"=dword:00000000\r\n"AutoChangeIcon"=dword:00000001\r\n' \
    >"$XDG_CONFIG_HOME/Ambience/registry.reg"
  # Qt's tray messages say which kind of icon it chose, should the icon not come.
  AMBIENCE_NOTIFICATION_AREA_GRACE_MS=600000 QT_LOGGING_RULES="qt.qpa.tray*=true" \
    "$bin/ambience" /startup 2>"$work/ambience.log" &
  pids+=("$!")
  ambience_up() { xdotool search --name 'Qt Selection Owner for ambience' >/dev/null 2>&1; }
  wait_for 30 ambience_up || fail "Ambience did not start"
fi
plasmashell --no-respawn >"$work/plasmashell.log" 2>&1 &
pids+=("$!")
bus_has() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null |
    grep -q true
}
wait_for 60 bus_has org.kde.plasmashell || fail "plasmashell did not start"
# The desktops are there once their scripting interface lists them.
desktops() {
  qdbus org.kde.plasmashell /PlasmaShell org.kde.PlasmaShell.evaluateScript 'print(desktops().length)' 2>/dev/null
}
want=1; [ "$outputs" = two ] && want=2
has_desktops() { [ "$(desktops)" -ge "$want" ] 2>/dev/null; }
wait_for 60 has_desktops || fail "plasmashell made no desktop for each output: $(desktops)"

# Parts of the screen against parts of a picture, each "x y w h" the same in both.
compare() { # screenshot picture box...
  /usr/bin/python3 - "$@" <<'PY'
import sys
from PIL import Image, ImageChops
screen = Image.open(sys.argv[1]).convert("RGB")
picture = Image.open(sys.argv[2]).convert("RGB")
problems = []
for box in sys.argv[3:]:
    sx, sy, px, py, w, h = (int(v) for v in box.split(","))
    a = screen.crop((sx, sy, sx + w, sy + h))
    b = picture.crop((px, py, px + w, py + h))
    d = ImageChops.difference(a, b).convert("L").point(lambda v: 255 if v > 24 else 0)
    share = d.histogram()[255] / (w * h)
    if share > 0.02:
        problems.append("%s differs in %.1f%% of pixels" % (box, 100 * share))
print("; ".join(problems))
sys.exit(1 if problems else 0)
PY
}
shows() { shows_within 60 shot "$@"; } # name picture box...
data=$XDG_DATA_HOME/Ambience/Ambience

out=$("$bin/ambience-cli" next --local 2>&1) || fail "ambience-cli next: $out"
echo "$out"
echo "$out" | grep -q "^Wallpaper: Set on Plasma's desktop" || fail "not set on Plasma's desktop"
if [ "$outputs" = one ]; then
  # Above the panel at the bottom.
  shows plasma_one "$data/ambience.bmp" 0,0,0,0,1280,700 || fail "the desktop: $(cat "$work/compare.txt")"
  # Plasma's tray service came up after Ambience: Ambience's icon is registered with it.
  items() { watcher RegisteredStatusNotifierItems; }
  ambience_item() {
    local pid
    for item in $(items); do
      pid=$(qdbus org.freedesktop.DBus / org.freedesktop.DBus.GetConnectionUnixProcessID "${item%%/*}" 2>/dev/null)
      [ -n "$pid" ] && tr '\0' ' ' </proc/"$pid"/cmdline 2>/dev/null | grep -q "ambience /startup" && return 0
    done
    return 1
  }
  # On a busy machine plasmashell can take long to load its panel and the tray in
  # it; only once that tray is registered as the host is Ambience's icon due.
  watcher() {
    qdbus org.kde.StatusNotifierWatcher /StatusNotifierWatcher org.freedesktop.DBus.Properties.Get \
      org.kde.StatusNotifierWatcher "$1" 2>/dev/null
  }
  host_up() { [ "$(watcher IsStatusNotifierHostRegistered)" = true ]; }
  wait_for 120 host_up || fail "Plasma's tray did not come up after ${SECONDS}s (no StatusNotifierHost)"
  echo "[${SECONDS}s] Plasma's tray is up"
  # The names Ambience holds on the bus tell whether its icon was ever offered.
  ambience_names() {
    local pid
    pid=$(pgrep -f "ambience /startup" | head -1)
    for name in $(qdbus 2>/dev/null); do
      [ "$(qdbus org.freedesktop.DBus / org.freedesktop.DBus.GetConnectionUnixProcessID "$name" 2>/dev/null)" = "$pid" ] &&
        printf '%s ' "$name"
    done
  }
  wait_for 60 ambience_item ||
    fail "Ambience's icon is not in Plasma's tray after ${SECONDS}s: items $(items); Ambience's bus names $(ambience_names)"
  echo "[${SECONDS}s] Ambience's icon is in Plasma's tray"

  # The lock screen: its greeter (in its testing mode, a window under kwin's title
  # bar, the picture filling it cropped evenly at top and bottom) shows the
  # picture Ambience gave it, below the clock.
  out=$("$bin/ambience-cli" options LockScreenToo=on 2>&1) || fail "LockScreenToo: $out"
  out=$("$bin/ambience-cli" next --local 2>&1) || fail "ambience-cli next with the lock screen: $out"
  echo "$out" | grep -qi "lock screen.*could not" && fail "the lock screen was not set: $out"
  lock=$(sed -n 's|^Image=file://||p' "$XDG_CONFIG_HOME/kscreenlockerrc")
  [ -f "$lock" ] || fail "kscreenlockerrc names no picture: $(cat "$XDG_CONFIG_HOME/kscreenlockerrc")"
  greeter=$(ls /usr/lib/*/libexec/kscreenlocker_greet /usr/libexec/kscreenlocker_greet 2>/dev/null | head -1)
  if [ -n "$greeter" ]; then
    "$greeter" --testing >"$work/greeter.log" 2>&1 &
    pids+=("$!")
    # Mapped and at its full size: it first appears as a small unmapped window.
    greeter_up() {
      xwininfo -name kscreenlocker_greet >"$work/greeter.geometry" 2>/dev/null &&
        grep -q 'Map State: IsViewable' "$work/greeter.geometry" &&
        [ "$(sed -n 's/^ *Height: *//p' "$work/greeter.geometry")" -gt 600 ]
    }
    wait_for 60 greeter_up || fail "the lock screen's greeter did not show: $(tail -3 "$work/greeter.log")"
    top=$(sed -n 's/.*Absolute upper-left Y: *//p' "$work/greeter.geometry")
    height=$(sed -n 's/^ *Height: *//p' "$work/greeter.geometry")
    # Screen row y shows the picture's row y - top + (picture height - height) / 2.
    offset=$(( ($(identify -format %h "$lock") - height) / 2 - top ))
    # Rows 300 to 700: below the clock and the date, above the panel that stays on top.
    shows plasma_lock_screen "$lock" "0,300,0,$(( 300 + offset )),1280,400" ||
      fail "the lock screen: $(cat "$work/compare.txt")"
  else
    echo "kscreenlocker_greet is not installed: the lock screen's greeter was not looked at"
  fi
else
  echo "$out" | grep -q "^Monitor DUMMY1: 1080 x 1920, picture" || fail "no exposition for the upright output"
  shows plasma_two_left "$data/ambience.bmp" 0,0,0,0,1920,1000 || fail "the left output: $(cat "$work/compare.txt")"
  shows plasma_two_right "$data/ambience-monitor2.bmp" 1920,0,0,0,1080,1920 || fail "the right output: $(cat "$work/compare.txt")"
fi
echo "plasma $outputs-output test: all checks passed"
