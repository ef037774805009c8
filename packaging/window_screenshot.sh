#!/usr/bin/env bash
# window_screenshot.sh BIN_DIR OUT.png: the main window as a new user first sees it,
# on a private display (tests/desktop/with_desktop.sh runs this script there), for
# the software centres' screenshots.
set -euo pipefail
bin=$1 out=$2
home=$(mktemp -d)
pid=""
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; fi
  rm -rf "$home"
}
trap cleanup EXIT
mkdir -p "$home/run" && chmod 700 "$home/run"
HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/run \
  "$bin/ambience" >"$home/ambience.log" 2>&1 &
pid=$!
window=""
for _ in $(seq 1 150); do
  window=$(xdotool search --onlyvisible --name '^Ambience' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
if [ -z "$window" ]; then
  cat "$home/ambience.log" >&2
  echo "window_screenshot: the window did not show" >&2
  exit 1
fi
sleep 1 # the first paint of its pages
import -window "$window" "$out"
