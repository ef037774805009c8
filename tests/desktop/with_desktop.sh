#!/usr/bin/env bash
# Runs a command on a private X display with a window manager (openbox, which
# publishes the work area) and a tray (trayer, an XEmbed notification area that
# reserves a strut). Usage: with_desktop.sh [--no-tray] [--no-wm] [--size WxH] COMMAND [ARGS...]
# --no-wm leaves the display bare, for a desktop shell that is its own window manager.
# The command sees DISPLAY; its exit status is ours.
set -uo pipefail
tray=1
wm=1
size=1280x800
while [ $# -gt 0 ]; do
  case "$1" in
    --no-tray) tray=0; shift ;;
    --no-wm) wm=0; tray=0; shift ;;
    --size) size=$2; shift 2 ;;
    *) break ;;
  esac
done

tmp=$(mktemp -d)
source "$(dirname "$0")/stop_processes.sh"
cleanup() {
  # shellcheck disable=SC2086
  stop_processes ${pids:-}
  rm -rf "$tmp"
}
trap cleanup EXIT

# Let Xvfb pick a free display number and tell us which.
exec 3>"$tmp/displayfd"
Xvfb -displayfd 3 -screen 0 "${size}x24" -noreset -nolisten tcp -auth /dev/null >"$tmp/xvfb.log" 2>&1 &
pids="$!"
for _ in $(seq 1 100); do
  [ -s "$tmp/displayfd" ] && break
  sleep 0.05
done
exec 3>&-
num=$(tr -dc '0-9' <"$tmp/displayfd")
if [ -z "$num" ]; then
  echo "with_desktop: Xvfb did not start" >&2
  cat "$tmp/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$num"
# Test programs started below keep this display: it is ours, not the user's.
export AMBIENCE_OWN_DESKTOP=1

# A desktop of our own: the user's session settings stay out of it.
export XDG_CURRENT_DESKTOP=
export DESKTOP_SESSION=
unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS XDG_SESSION_DESKTOP GDMSESSION SWAYSOCK HYPRLAND_INSTANCE_SIGNATURE

if [ "$wm" = 1 ]; then
  openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
  pids="$pids $!"
  # Wait until the window manager has published the work area.
  for _ in $(seq 1 100); do
    xprop -root _NET_WORKAREA 2>/dev/null | grep -q '=' && break
    sleep 0.05
  done
fi

if [ "$tray" = 1 ]; then
  trayer --edge bottom --align right --widthtype pixel --width 120 --heighttype pixel --height 28 \
         --SetDockType true --SetPartialStrut true --expand false --transparent false >"$tmp/trayer.log" 2>&1 &
  pids="$pids $!"
  for _ in $(seq 1 100); do
    xprop -root _NET_WORKAREA 2>/dev/null | grep -qv ' 0, 0, 0, 0' && \
      xwininfo -root -tree 2>/dev/null | grep -qi trayer && break
    sleep 0.05
  done
  sleep 0.3
fi

"$@"
