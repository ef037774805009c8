#!/usr/bin/env bash
# Runs a command on a private X server with two real RandR outputs: Xorg with the
# dummy video driver, DUMMY0 1920x1080 at 0,0 (primary) and DUMMY1 1080x1920
# (upright) right of it. Unlike RandR monitors made with xrandr --setmonitor on
# Xvfb, these are outputs with connector names, as desktop programs expect of real
# monitors. Exits 77 (skipped) when no such server can be started here.
# Usage: with_dummy_xorg.sh COMMAND [ARGS...]; the command's exit status is ours.
set -uo pipefail
command -v Xorg >/dev/null && [ -e /usr/lib/xorg/modules/drivers/dummy_drv.so ] || {
  echo "SKIPPED: Xorg with the dummy driver is not installed"; exit 77; }
tmp=$(mktemp -d)
source "$(dirname "$0")/stop_processes.sh"
cleanup() {
  [ -n "${xorg:-}" ] && stop_processes "$xorg"
  rm -rf "$tmp"
}
trap cleanup EXIT
mkdir "$tmp/conf.d"
cat >"$tmp/xorg.conf" <<'CONF'
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 3000 1920
  EndSubSection
EndSection
CONF
for n in $(seq 60 99); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { num=$n; break; }
done
[ -n "${num:-}" ] || { echo "SKIPPED: no free display number"; exit 77; }
Xorg ":$num" -config "$tmp/xorg.conf" -configdir "$tmp/conf.d" -noreset -nolisten tcp \
  -logfile "$tmp/xorg.log" >"$tmp/xorg.out" 2>&1 &
xorg=$!
export DISPLAY=":$num"
for _ in $(seq 1 100); do
  xrandr >/dev/null 2>&1 && break
  kill -0 "$xorg" 2>/dev/null || break
  sleep 0.05
done
if ! xrandr >/dev/null 2>&1; then
  tail -5 "$tmp/xorg.log" "$tmp/xorg.out" >&2
  echo "SKIPPED: Xorg with the dummy driver did not start, which needs root"
  exit 77
fi
xrandr --newmode 1080x1920 60 1080 1081 1082 1083 1920 1921 1922 1923 2>/dev/null
xrandr --addmode DUMMY1 1080x1920 &&
  xrandr --fb 3000x1920 --output DUMMY0 --mode 1920x1080 --pos 0x0 --primary \
         --output DUMMY1 --mode 1080x1920 --pos 1920x0 || { echo "with_dummy_xorg: outputs not set" >&2; exit 1; }
[ "$(xrandr --listmonitors | head -1)" = "Monitors: 2" ] || { echo "with_dummy_xorg: not two monitors" >&2; exit 1; }
export AMBIENCE_OWN_DESKTOP=1
export XDG_CURRENT_DESKTOP= DESKTOP_SESSION=
unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS XDG_SESSION_DESKTOP GDMSESSION SWAYSOCK HYPRLAND_INSTANCE_SIGNATURE
"$@"
