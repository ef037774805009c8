#!/usr/bin/env bash
# pcmanfm-qt's desktop on two real outputs (with_dummy_xorg.sh: DUMMY0 1920x1080,
# DUMMY1 1080x1920 upright beside it), with its own session bus and a fresh LXQt
# profile. pcmanfm-qt draws one desktop window over both outputs, so ambience-cli
# gives it the picture spanning them, stretched over that window: each monitor
# shows its own exposition exactly, without bars at the sides.
# Usage: lxqt_monitors_desktop_test.sh BIN_DIR SCREENSHOT_DIR
set -uo pipefail
bin=$1
shots=$2
source "$(dirname "$0")/desktop_lib.sh"
fail() { echo "FAIL: $*" >&2; shot lxqt_monitors_failure; exit 1; }
command -v pcmanfm-qt >/dev/null || { echo "SKIPPED: pcmanfm-qt is not installed"; exit 77; }

use_home lxqt
export XDG_CACHE_HOME=$HOME/cache NO_AT_BRIDGE=1 QT_QPA_PLATFORM=xcb
export PATH=/usr/bin:/bin:$PATH
cp "$bin"/ambience-*.zip "$AMBIENCE_PROGRAM_DIR/"
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus.address" 4>"$work/bus.pid" ||
  fail "no session bus"
export DBUS_SESSION_BUS_ADDRESS=$(cat "$work/bus.address")
pids+=("$(cat "$work/bus.pid")")
pcmanfm-qt --desktop --profile=lxqt >"$work/pcmanfm.log" 2>&1 &
pids+=("$!")
bus_has() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
    string:org.pcmanfm.PCManFM 2>/dev/null | grep -q true
}
wait_for 20 bus_has || fail "pcmanfm-qt's desktop did not start"

# Each monitor's region of the screen against its exposition, the icons' column
# at the left left out.
compare() { # screenshot left-file right-file
  /usr/bin/python3 - "$@" <<'PY'
import sys
from PIL import Image, ImageChops
root = Image.open(sys.argv[1]).convert("RGB")
left = Image.open(sys.argv[2]).convert("RGB")
right = Image.open(sys.argv[3]).convert("RGB")
def differing(a, b):
    d = ImageChops.difference(a, b).convert("L").point(lambda v: 255 if v > 24 else 0)
    return d.histogram()[255] / (a.size[0] * a.size[1])
problems = []
l = differing(root.crop((200, 0, 1920, 1080)), left.crop((200, 0, 1920, 1080)))
r = differing(root.crop((1920, 0, 3000, 1920)), right)
if l > 0.02: problems.append("the left monitor differs from its exposition in %.1f%% of pixels" % (100 * l))
if r > 0.02: problems.append("the right monitor differs from its exposition in %.1f%% of pixels" % (100 * r))
print("; ".join(problems))
sys.exit(1 if problems else 0)
PY
}

out=$(XDG_CURRENT_DESKTOP=LXQt "$bin/ambience-cli" next --local 2>&1) || fail "ambience-cli next: $out"
echo "$out"
echo "$out" | grep -q "^Wallpaper: Set on LXQt's desktop" || fail "not set on LXQt's desktop"
echo "$out" | grep -q "^Monitor DUMMY1: 1080 x 1920, picture" || fail "no exposition for the upright monitor"
data=$XDG_DATA_HOME/Ambience/Ambience
ok=0
for _ in $(seq 1 40); do
  shot lxqt_monitors
  compare "$shots/lxqt_monitors.png" "$data/ambience.bmp" "$data/ambience-monitor2.bmp" >"$work/compare.txt" &&
    { ok=1; break; }
  sleep 0.25
done
[ "$ok" = 1 ] || fail "$(cat "$work/compare.txt")"
echo "lxqt monitors test passed"
