#!/usr/bin/env bash
# Runs a command beside a private headless sway. sway refuses to run as root, so
# it runs as "nobody" with a runtime folder of its own; the command is told where
# it listens through AMBIENCE_TEST_RUNTIME_DIR, AMBIENCE_TEST_WAYLAND_DISPLAY and
# AMBIENCE_TEST_SWAYSOCK (the test entry clears the usual names). Usage:
# with_sway.sh [--outputs N] COMMAND [ARGS...]; the command's exit status is ours.
# With two outputs the second stands upright (1080x1920) right of the first.
set -uo pipefail
outputs=1
if [ "${1:-}" = --outputs ]; then outputs=$2; shift 2; fi
tmp=$(mktemp -d)
chmod 755 "$tmp"
run="$tmp/run"
mkdir "$run"
cleanup() {
  [ -n "${sway:-}" ] && kill "$sway" 2>/dev/null
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
# in sway's session, like a user's own programs.
"${as_user[@]}" setsid env -i HOME="$tmp" XDG_RUNTIME_DIR="$run" PATH=/usr/bin:/bin \
  WLR_BACKENDS=headless WLR_HEADLESS_OUTPUTS="$outputs" WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  sway -c "$tmp/config" >"$tmp/sway.log" 2>&1 &
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
AMBIENCE_TEST_RUNTIME_DIR="$run" AMBIENCE_TEST_WAYLAND_DISPLAY=wayland-1 AMBIENCE_TEST_SWAYSOCK="$sock" "$@"
