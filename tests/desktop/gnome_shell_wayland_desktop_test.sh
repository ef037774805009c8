#!/usr/bin/env bash
# GNOME Shell itself as a headless Wayland compositor with two virtual monitors
# (1280x800, and 800x1280 upright right of it), brought up once, on a session bus
# and a system bus of this test's own and a private runtime folder, in a mount
# and network namespace of its own (unshare) so that nothing it starts can reach
# a display of the machine. ambience-cli runs natively through Qt's Wayland
# plugin: it sees both monitors, composes one exposition for each and gives
# GNOME the picture spanning them; each monitor shows its own, as the Shell's
# screenshot interface tells. Then the dark style shows the darker twins. Where
# Xwayland is installed the Shell starts it, and Ambience runs once more as an X
# client through it, as programs without Wayland support do in a GNOME session:
# Xwayland's RandR outputs are the same two monitors. (The namespace keeps the
# Shell's X display from clashing with one of the machine's.)
# Usage: gnome_shell_wayland_desktop_test.sh BIN_DIR SCREENSHOT_DIR
set -uo pipefail
bin=$1
shots=$2
command -v gnome-shell >/dev/null || { echo "SKIPPED: gnome-shell is not installed"; exit 77; }
[ -e /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so ] ||
  ls /usr/lib/*/qt6/plugins/platforms/libqwayland* >/dev/null 2>&1 || { echo "SKIPPED: qt6-wayland is not installed"; exit 77; }
if [ -z "${AMBIENCE_IN_NAMESPACE:-}" ]; then
  AMBIENCE_IN_NAMESPACE=1 exec unshare --mount --net --fork bash "$0" "$@"
fi
source "$(dirname "$0")/desktop_lib.sh"
fail() { echo "FAIL after ${SECONDS}s: $*" >&2; [ -s "$work/shell.log" ] && tail -5 "$work/shell.log" >&2; exit 1; }

use_home gnome
export XDG_CACHE_HOME=$HOME/cache GIO_USE_VFS=local NO_AT_BRIDGE=1 PATH=/usr/bin:/bin:$PATH
export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME
unset DISPLAY WAYLAND_DISPLAY
cp "$bin"/ambience-*.zip "$AMBIENCE_PROGRAM_DIR/"

# Where the time went, should the test outlive its limit.
step() { echo "[${SECONDS}s] $*"; }
start_system_bus || fail "no system bus"
start_session_bus || fail "no session bus"

xwayland=0
command -v Xwayland >/dev/null && xwayland=1
x11_flag=--no-x11
[ "$xwayland" = 1 ] && x11_flag=
shell_eval() {
  gdbus call --session --timeout 10 --dest org.gnome.Shell --object-path /org/gnome/Shell --method org.gnome.Shell.Eval "$1" 2>/dev/null
}
step "waiting for GNOME Shell"
start_gnome_shell "$work/shell.log" --headless --wayland $x11_flag --unsafe-mode \
  --virtual-monitor 1280x800 --virtual-monitor 800x1280 || fail "GNOME Shell did not start"
shell_eval 'Main.overview.hide(); Main.messageTray.bannerBlocked = true;' >/dev/null
overview_gone() { shell_eval 'Main.overview.visible || Main.overview.animationInProgress' | grep -q "'false'"; }
wait_for 20 overview_gone || fail "the overview did not close"
layout=$(shell_eval 'JSON.stringify(Main.layoutManager.monitors.map(m => [m.x, m.y, m.width, m.height]))')
echo "monitors: $layout"
export WAYLAND_DISPLAY=wayland-0 QT_QPA_PLATFORM=wayland

screenshot() {
  gdbus call --session --timeout 10 --dest org.gnome.Shell.Screenshot --object-path /org/gnome/Shell/Screenshot \
    --method org.gnome.Shell.Screenshot.Screenshot false false "$shots/$1.png" >/dev/null 2>&1
}
# Each monitor's part of the screen against the same part of the spanning picture
# (each exposition at its monitor's place); the top bar on the primary monitor is
# left out.
compare() { # screenshot spanning-picture
  /usr/bin/python3 - "$@" <<'PY'
import sys
from PIL import Image, ImageChops
screen = Image.open(sys.argv[1]).convert("RGB")
spanned = Image.open(sys.argv[2]).convert("RGB")
if spanned.size != (2080, 1280) or screen.size != spanned.size:
    print("the screen is %s, the spanning picture %s" % (screen.size, spanned.size)); sys.exit(1)
problems = []
for name, box in (("first", (0, 40, 1280, 800)), ("second", (1280, 0, 2080, 1280))):
    d = ImageChops.difference(screen.crop(box), spanned.crop(box)).convert("L").point(lambda v: 255 if v > 24 else 0)
    share = d.histogram()[255] / ((box[2] - box[0]) * (box[3] - box[1]))
    if share > 0.02:
        problems.append("the %s monitor differs from its exposition in %.1f%% of pixels" % (name, 100 * share))
print("; ".join(problems))
sys.exit(1 if problems else 0)
PY
}
shows() { shows_within 40 screenshot "$@"; } # name spanning-picture
data=$XDG_DATA_HOME/Ambience/Ambience

step "ambience-cli as a Wayland client"
out=$(timeout 120 "$bin/ambience-cli" next --local 2>&1) || fail "ambience-cli next: $out"
echo "$out"
echo "$out" | grep -q "^Wallpaper: Set as GNOME's background" || fail "not set as GNOME's background"
echo "$out" | grep -q "^Monitor .*: 800 x 1280, picture" || fail "Qt's Wayland plugin did not show the upright monitor"
cmp -s <(convert "$data/ambience-spanned.bmp" -crop 800x1280+1280+0 +repage rgb:-) \
       <(convert "$data/ambience-monitor2.bmp" rgb:-) || fail "the spanning picture does not hold the second monitor's exposition"
shows gnome_wayland_light "$data/ambience-spanned.bmp" || fail "light: $(cat "$work/compare.txt")"

step "the dark style"
timeout 30 gsettings set org.gnome.desktop.interface color-scheme prefer-dark
shows gnome_wayland_dark "$data/ambience-dark-spanned.bmp" || fail "dark: $(cat "$work/compare.txt")"

if [ "$xwayland" = 1 ]; then
  # The Shell's X display, as it gives it to the programs it starts.
  shell_env() { shell_eval "imports.gi.GLib.getenv(\"$1\")" | sed -n "s/^(true, '\"\(.*\)\"')$/\1/p"; }
  display=$(shell_env DISPLAY)
  [ -n "$display" ] || fail "GNOME Shell started no Xwayland"
  step "ambience-cli as an X client through Xwayland"
  timeout 30 gsettings set org.gnome.desktop.interface color-scheme default
  out=$(env -u WAYLAND_DISPLAY DISPLAY="$display" XAUTHORITY="$(shell_env XAUTHORITY)" QT_QPA_PLATFORM=xcb timeout 120 "$bin/ambience-cli" next --local 2>&1) ||
    fail "ambience-cli next through Xwayland: $out"
  echo "$out"
  echo "$out" | grep -q "^Wallpaper: Set as GNOME's background" || fail "through Xwayland: not set as GNOME's background"
  echo "$out" | grep -q "^Monitor .*: 800 x 1280, picture" || fail "through Xwayland: the upright monitor was not seen"
  shows gnome_xwayland_light "$data/ambience-spanned.bmp" || fail "through Xwayland: $(cat "$work/compare.txt")"
else
  echo "Xwayland is not installed: Ambience as an X client of the Shell was not tried"
fi
echo "gnome shell wayland test: all checks passed"
