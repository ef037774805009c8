#!/usr/bin/env bash
# GNOME Shell itself (gnome-shell --x11 on the private display of with_desktop.sh
# --no-wm), brought up once, on a session bus and a system bus of this test's own
# and a private runtime folder. The screen is read through the Shell's own
# screenshot interface (its compositing leaves the X root window black):
#  1. ambience-cli's change shows on the screen, below the top bar;
#  2. the dark style shows the darker twin (picture-uri-dark), before and after a change;
#  3. with the lock screen too, its own picture-uri is left as it is and the
#     change says once that GNOME's lock screen shows the desktop's picture;
#  4. a login start ("/startup"): GNOME has no notification area, so the Shell's
#     own notification service receives the notice, and its action "Open Ambience"
#     shows the window.
# Usage: gnome_shell_desktop_test.sh BIN_DIR SCREENSHOT_DIR
set -uo pipefail
bin=$1
shots=$2
source "$(dirname "$0")/desktop_lib.sh"
fail() { report_failure gnome_shell_failure "$@"; [ -s "$work/shell.log" ] && tail -5 "$work/shell.log" >&2; exit 1; }
command -v gnome-shell >/dev/null || { echo "SKIPPED: gnome-shell is not installed"; exit 77; }

use_home gnome
export XDG_CACHE_HOME=$HOME/cache GIO_USE_VFS=local NO_AT_BRIDGE=1 PATH=/usr/bin:/bin:$PATH
export XDG_SESSION_TYPE=x11 XDG_CURRENT_DESKTOP=GNOME
cp "$bin"/ambience-*.zip "$AMBIENCE_PROGRAM_DIR/"

start_system_bus || fail "no system bus"
start_session_bus || fail "no session bus"

# --unsafe-mode lets the test close the overview the Shell starts in and read its
# notifications through Eval.
shell_eval() {
  gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell --method org.gnome.Shell.Eval "$1" 2>/dev/null
}
start_gnome_shell "$work/shell.log" --x11 --unsafe-mode || fail "GNOME Shell did not start"
shell_eval 'Main.overview.hide(); Main.messageTray.bannerBlocked = true;' >/dev/null
overview_gone() { shell_eval 'Main.overview.visible || Main.overview.animationInProgress' | grep -q "'false'"; }
wait_for 20 overview_gone || fail "the overview did not close"

screenshot() { # name: the whole screen as the Shell composes it, in $shots/NAME.png
  gdbus call --session --dest org.gnome.Shell.Screenshot --object-path /org/gnome/Shell/Screenshot \
    --method org.gnome.Shell.Screenshot.Screenshot false false "$shots/$1.png" >/dev/null 2>&1
}
# The screen below the top bar against the picture.
compare() { # screenshot picture
  /usr/bin/python3 - "$@" <<'PY'
import sys
from PIL import Image, ImageChops
screen = Image.open(sys.argv[1]).convert("RGB")
picture = Image.open(sys.argv[2]).convert("RGB")
if screen.size != picture.size:
    print("the screen is %s, the picture %s" % (screen.size, picture.size)); sys.exit(1)
box = (0, 40, screen.size[0], screen.size[1])
d = ImageChops.difference(screen.crop(box), picture.crop(box)).convert("L").point(lambda v: 255 if v > 24 else 0)
share = d.histogram()[255] / ((box[2] - box[0]) * (box[3] - box[1]))
print("%.1f%% of the screen differs from %s" % (100 * share, sys.argv[2]))
sys.exit(0 if share < 0.02 else 1)
PY
}
shows() { shows_within 40 screenshot "$@"; } # name picture: waits until the screen shows the picture
data=$XDG_DATA_HOME/Ambience/Ambience

# 1. The light style.
out=$("$bin/ambience-cli" next --local 2>&1) || fail "ambience-cli next: $out"
echo "$out"
echo "$out" | grep -q "^Wallpaper: Set as GNOME's background" || fail "not set as GNOME's background"
shows gnome_shell_light "$data/ambience.bmp" || fail "light style: $(cat "$work/compare.txt")"

# 2. The dark style: the Shell switches to the darker twin at once, and a change
# made in the dark style shows its own.
gsettings set org.gnome.desktop.interface color-scheme prefer-dark
shows gnome_shell_dark "$data/ambience-dark.bmp" || fail "dark style: $(cat "$work/compare.txt")"
out=$("$bin/ambience-cli" next --local 2>&1) || fail "ambience-cli next in the dark style: $out"
shows gnome_shell_dark_next "$data/ambience-dark.bmp" || fail "dark style, next: $(cat "$work/compare.txt")"
gsettings set org.gnome.desktop.interface color-scheme default

# 3. The lock screen too: GNOME's shows the desktop's picture, blurred. Its own
# key is left as it is, and the change says so once.
out=$("$bin/ambience-cli" options LockScreenToo=on 2>&1) || fail "LockScreenToo: $out"
lock_before=$(gsettings get org.gnome.desktop.screensaver picture-uri)
out=$("$bin/ambience-cli" next --local 2>&1) || fail "ambience-cli next with the lock screen: $out"
[ "$(gsettings get org.gnome.desktop.screensaver picture-uri)" = "$lock_before" ] ||
  fail "the lock screen's picture-uri changed to $(gsettings get org.gnome.desktop.screensaver picture-uri)"
[ "$(echo "$out" | grep -c "GNOME's lock screen shows the desktop's picture, blurred")" -eq 1 ] ||
  fail "the change did not say once that GNOME's lock screen shows the desktop's picture: $out"
shows gnome_shell_lock_too "$data/ambience.bmp" || fail "with the lock screen: $(cat "$work/compare.txt")"
"$bin/ambience-cli" options LockScreenToo=off >/dev/null 2>&1 || fail "LockScreenToo=off"

# 4. A login start: no notification area, so a notification from the Shell's own
# service (a gjs program the Shell has the bus start, which owns the freedesktop name).
gdbus call --session --dest org.freedesktop.DBus --object-path / --method org.freedesktop.DBus.StartServiceByName \
  org.gnome.Shell.Notifications 0 >/dev/null 2>&1
fdo_owned() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
    string:org.freedesktop.Notifications 2>/dev/null | grep -q true
}
wait_for 20 fdo_owned || fail "nothing took the notification service"
owner=$(gdbus call --session --dest org.freedesktop.DBus --object-path / \
  --method org.freedesktop.DBus.GetConnectionUnixProcessID org.freedesktop.Notifications 2>/dev/null | sed -E 's/.*uint32 ([0-9]+).*/\1/')
[ -n "$owner" ] && tr '\0' ' ' </proc/"$owner"/cmdline | grep -q org.gnome.Shell.Notifications ||
  fail "the notification service is not GNOME Shell's own: $(tr '\0' ' ' </proc/"${owner:-0}"/cmdline 2>/dev/null)"
export AMBIENCE_NOTIFICATION_AREA_GRACE_MS=0
"$bin/ambience" /startup 2>"$work/ambience.log" &
pids+=("$!")
notice='Main.messageTray.getSources().flatMap(s => s.notifications).find(n => n.title == "Ambience is running")'
noticed() { shell_eval "!!($notice)" | grep -q "'true'"; }
wait_for 30 noticed || fail "GNOME Shell shows no notice from Ambience"
has_window && fail "\"/startup\" showed the window"
shell_eval "$notice.actions.find(a => a.label == 'Open Ambience').callback()" >/dev/null
wait_for 30 has_window || fail "the notice's action \"Open Ambience\" did not show the window"
screenshot gnome_shell_window
echo "gnome shell test: all checks passed"
