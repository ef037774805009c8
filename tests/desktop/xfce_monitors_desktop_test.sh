#!/usr/bin/env bash
# xfdesktop on two real outputs (with_dummy_xorg.sh: DUMMY0 1920x1080, DUMMY1
# 1080x1920 upright beside it), with its own session bus and a fresh profile:
# ambience-cli gives each monitor's xfconf property its own exposition, and each
# monitor shows it. A second change, now on the profile xfdesktop has written,
# does the same with new files. Usage: xfce_monitors_desktop_test.sh BIN_DIR SCREENSHOT_DIR
set -uo pipefail
bin=$1
shots=$2
source "$(dirname "$0")/desktop_lib.sh"
fail() { echo "FAIL: $*" >&2; shot xfce_monitors_failure; exit 1; }
command -v xfdesktop >/dev/null || { echo "SKIPPED: xfdesktop is not installed"; exit 77; }

use_home xfce
export XDG_CACHE_HOME=$HOME/cache GIO_USE_VFS=local NO_AT_BRIDGE=1 QT_QPA_PLATFORM=xcb
# The bus below is this test's own: the system's gsettings talks to it, whatever
# stand-in a caller put first on PATH.
export PATH=/usr/bin:/bin:$PATH
cp "$bin"/ambience-*.zip "$AMBIENCE_PROGRAM_DIR/"
# The bus and what it starts (xfconfd) see this home, not the user's.
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus.address" 4>"$work/bus.pid" ||
  fail "no session bus"
export DBUS_SESSION_BUS_ADDRESS=$(cat "$work/bus.address")
pids+=("$(cat "$work/bus.pid")")
xfdesktop --disable-wm-check >"$work/xfdesktop.log" 2>&1 &
pids+=("$!")
wait_for 20 bash -c 'xfconf-query -c xfce4-desktop -l 2>/dev/null | grep -q monitorDUMMY1' ||
  fail "xfdesktop wrote no properties for the two outputs"

# Each monitor's region against its exposition; the icons' column at the left is left out.
compare() { # screenshot left-file right-file
  /usr/bin/python3 - "$@" <<'PY'
import sys
from PIL import Image, ImageChops
root = Image.open(sys.argv[1]).convert("RGB")
left = Image.open(sys.argv[2]).convert("RGB")
right = Image.open(sys.argv[3]).convert("RGB")
problems = []
if left.size != (1920, 1080) or right.size != (1080, 1920):
    problems.append("sizes %s and %s" % (left.size, right.size))
def differing(a, b):
    d = ImageChops.difference(a, b).convert("L").point(lambda v: 255 if v > 12 else 0)
    return sum(1 for v in d.getdata() if v) / (a.size[0] * a.size[1])
if not problems:
    l = differing(root.crop((160, 0, 1920, 1080)), left.crop((160, 0, 1920, 1080)))
    r = differing(root.crop((1920, 0, 3000, 1920)), right)
    if l > 0.01: problems.append("the left monitor differs from its exposition in %.1f%% of pixels" % (100 * l))
    if r > 0.01: problems.append("the right monitor differs from its exposition in %.1f%% of pixels" % (100 * r))
print("; ".join(problems))
sys.exit(1 if problems else 0)
PY
}
prop() { xfconf-query -c xfce4-desktop -p "/backdrop/screen0/monitor$1/workspace0/last-image"; }

for round in 1 2; do
  out=$(XDG_CURRENT_DESKTOP=XFCE "$bin/ambience-cli" next --local 2>&1) || fail "ambience-cli next: $out"
  echo "$out"
  echo "$out" | grep -q "^Wallpaper: Set on Xfce's desktop" || fail "not set on Xfce's desktop"
  echo "$out" | grep -q "^Monitor DUMMY1: 1080 x 1920, picture" || fail "no exposition for the upright monitor"
  left=$(prop DUMMY0) right=$(prop DUMMY1)
  [ -f "$left" ] && [ -f "$right" ] && [ "$left" != "$right" ] || fail "properties name \"$left\" and \"$right\""
  cmp -s "$left" "$XDG_DATA_HOME/Ambience/Ambience/ambience.bmp" || fail "DUMMY0's file is not the primary exposition"
  cmp -s "$right" "$XDG_DATA_HOME/Ambience/Ambience/ambience-monitor2.bmp" || fail "DUMMY1's file is not its exposition"
  ok=0
  for _ in $(seq 1 40); do
    shot "xfce_monitors_$round"
    compare "$shots/xfce_monitors_$round.png" "$left" "$right" >"$work/compare.txt" && { ok=1; break; }
    sleep 0.25
  done
  [ "$ok" = 1 ] || fail "round $round: $(cat "$work/compare.txt")"
done
echo "xfce monitors test passed"
