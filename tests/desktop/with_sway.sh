#!/usr/bin/env bash
# Runs a command beside a private headless sway. sway refuses to run as root, so
# it runs as "nobody" with a runtime folder of its own; the command is told where
# it listens through AMBIENCE_TEST_RUNTIME_DIR, AMBIENCE_TEST_WAYLAND_DISPLAY and
# AMBIENCE_TEST_SWAYSOCK (the test entry clears the usual names). Usage:
# with_sway.sh [--outputs N] [--swaybg-beside] COMMAND [ARGS...]; the command's exit
# status is ours. With two outputs the second stands upright (1080x1920) right of
# the first. With --swaybg-beside the shell that starts sway also starts a swaybg
# showing red, as a user does from a login shell: it shares sway's process group
# and session without being sway's; its pid is in AMBIENCE_TEST_BESIDE_SWAYBG.
set -uo pipefail
outputs=1
beside=0
while [ $# -gt 0 ]; do
  case $1 in
    --outputs) outputs=$2; shift 2 ;;
    --swaybg-beside) beside=1; shift ;;
    *) break ;;
  esac
done
tmp=$(mktemp -d)
chmod 755 "$tmp"
run="$tmp/run"
mkdir "$run"
cleanup() {
  # The login shell leads its own process group: sway and what it started go with it.
  [ -n "${sway:-}" ] && kill -- -"$sway" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

# No background of sway's own (the user's swaybg is the one shown), no Xwayland.
printf 'xwayland disable\n' >"$tmp/config"
if [ "$outputs" -ge 2 ]; then
  printf 'output HEADLESS-1 mode 1920x1080 position 0 0\noutput HEADLESS-2 mode 1920x1080 transform 90 position 1920 0\n' \
    >>"$tmp/config"
fi
chmod 644 "$tmp/config"
if [ "$(id -u)" -eq 0 ]; then
  chown nobody "$run"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
else
  as_user=()
fi
chmod 700 "$run"
# A session of its own, as a login gives it: what the test starts is then not
# in sway's session, like a user's own programs. Only sway itself runs as
# "nobody": the login shell, and the swaybg it starts, are the test's user, as
# the programs that look for them expect of the user's own.
# shellcheck disable=SC2016
login='tmp=$1 beside=$2; shift 2
"$@" sway -c "$tmp/config" >"$tmp/sway.log" 2>&1 &
if [ "$beside" = 1 ]; then
  for _ in $(seq 1 100); do [ -S "$XDG_RUNTIME_DIR/wayland-1" ] && break; sleep 0.05; done
  WAYLAND_DISPLAY=wayland-1 swaybg -i "$tmp/beside.png" -m fill >/dev/null 2>&1 &
  echo $! >"$tmp/beside.pid"
fi
wait'
[ "$beside" = 1 ] && { convert -size 64x36 xc:'#ff0000' "$tmp/beside.png" || exit 1; }
setsid env -i HOME="$tmp" XDG_RUNTIME_DIR="$run" PATH=/usr/bin:/bin \
  WLR_BACKENDS=headless WLR_HEADLESS_OUTPUTS="$outputs" WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  bash -c "$login" login "$tmp" "$beside" "${as_user[@]}" &
sway=$!
for _ in $(seq 1 100); do
  sock=$(ls "$run"/sway-ipc.*.sock 2>/dev/null | head -n1)
  [ -n "$sock" ] && [ -S "$run/wayland-1" ] && break
  sleep 0.05
done
if [ -z "${sock:-}" ]; then
  echo "with_sway: sway did not start" >&2
  cat "$tmp/sway.log" >&2
  exit 1
fi
if [ "$beside" = 1 ]; then
  for _ in $(seq 1 100); do [ -s "$tmp/beside.pid" ] && break; sleep 0.05; done
  export AMBIENCE_TEST_BESIDE_SWAYBG=$(cat "$tmp/beside.pid" 2>/dev/null)
fi
AMBIENCE_TEST_RUNTIME_DIR="$run" AMBIENCE_TEST_WAYLAND_DISPLAY=wayland-1 AMBIENCE_TEST_SWAYSOCK="$sock" "$@"
