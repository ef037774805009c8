#!/usr/bin/env bash
# Two monitors on a real X display: RandR monitors made with xrandr --setmonitor
# (one 1920x1080 landscape, one 1080x1920 upright beside it), the wallpaper set on
# the root window by ambience-cli. The root window's two regions must equal the
# two expositions pixel for pixel, each composed for its own monitor.
# Run through with_desktop.sh --no-tray --size 3000x1920.
# Usage: monitors_desktop_test.sh BIN_DIR SCREENSHOT_DIR
set -uo pipefail
bin=$1
shots=$2
source "$(dirname "$0")/desktop_lib.sh"

fail() { echo "FAIL: $*" >&2; shot monitors_failure; exit 1; }

use_home monitors
cp "$bin"/ambience-*.zip "$AMBIENCE_PROGRAM_DIR/"
export QT_QPA_PLATFORM=xcb

xrandr --setmonitor LEFT 1920/508x1080/286+0+0 screen >/dev/null || fail "xrandr --setmonitor LEFT"
xrandr --setmonitor RIGHT 1080/286x1920/508+1920+0 none >/dev/null || fail "xrandr --setmonitor RIGHT"
[ "$(xrandr --listmonitors | head -1)" = "Monitors: 2" ] || fail "the X server does not list two monitors"

data=$XDG_DATA_HOME/Ambience/Ambience
# Pixel-for-pixel comparison of root regions with the files; prints what differs.
compare_root() { # grab left-file right-file
  /usr/bin/python3 - "$@" <<'PY'
import sys
from PIL import Image
root = Image.open(sys.argv[1]).convert("RGB")
left = Image.open(sys.argv[2]).convert("RGB")
right = Image.open(sys.argv[3]).convert("RGB")
problems = []
if left.size != (1920, 1080): problems.append("the primary exposition is %dx%d" % left.size)
if right.size != (1080, 1920): problems.append("the upright exposition is %dx%d" % right.size)
if root.crop((0, 0, 1920, 1080)).tobytes() != left.tobytes(): problems.append("the left monitor differs from its exposition")
if root.crop((1920, 0, 3000, 1920)).tobytes() != right.tobytes(): problems.append("the right monitor differs from its exposition")
if left.resize((1080, 1920)).tobytes() == right.tobytes(): problems.append("both monitors show the same picture")
print("; ".join(problems))
sys.exit(1 if problems else 0)
PY
}

out=$("$bin/ambience-cli" next --local --seed 7 2>&1) || fail "ambience-cli next: $out"
echo "$out"
primary=$(echo "$out" | sed -n 's/^Picture: .*, \([0-9]*\) of [0-9]* in all.*/\1/p')
other=$(echo "$out" | sed -n 's/^Monitor RIGHT: 1080 x 1920, picture \([0-9]*\):.*/\1/p')
[ -n "$primary" ] && [ -n "$other" ] || fail "the output names no picture for each monitor"
total=$(echo "$out" | sed -n 's/^Picture: .* of \([0-9]*\) in all.*/\1/p')
[ "$other" = $((primary % total + 1)) ] || fail "the right monitor shows picture $other, not the one after $primary"
echo "$out" | grep -q "^Wallpaper: Set as the X root window's background" || fail "not set on the root window"
shot monitors_each_own
compare_root "$shots/monitors_each_own.png" "$data/ambience.bmp" "$data/ambience-monitor2.bmp" || fail "each its own"

# The same picture on every monitor, still each composed for its own shape.
"$bin/ambience-cli" options MonitorMode=2 >/dev/null || fail "options MonitorMode=2"
out=$("$bin/ambience-cli" next --local --seed 8 2>&1) || fail "ambience-cli next: $out"
first=$(echo "$out" | sed -n 's/^Picture: .*in all: \(.*\)$/\1/p')
second=$(echo "$out" | sed -n 's/^Monitor RIGHT: 1080 x 1920, picture [0-9]*: \(.*\)$/\1/p')
[ -n "$first" ] && [ "$first" = "$second" ] || fail "not the same picture: \"$first\" and \"$second\""
shot monitors_same
compare_root "$shots/monitors_same.png" "$data/ambience.bmp" "$data/ambience-monitor2.bmp" || fail "the same picture"

# The primary monitor only: as with one monitor, nothing for the other.
"$bin/ambience-cli" options MonitorMode=0 >/dev/null || fail "options MonitorMode=0"
out=$("$bin/ambience-cli" next --local --seed 9 2>&1) || fail "ambience-cli next: $out"
echo "$out" | grep -q "^Monitor " && fail "the primary-only mode composed for another monitor"
echo "monitors desktop test passed"
