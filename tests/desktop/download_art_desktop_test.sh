#!/usr/bin/env bash
# "Download art..." on a real X display, driven like a user, against the stand-in
# museum server (tests/support/museum_server.py) playing the Cleveland Museum of
# Art: open the Packs page's menu, choose the item, pick the museum, press
# Download, and check that the pack was installed with the museum's captions and
# is listed. Screenshots of each step go to SCREENSHOT_DIR.
# Run through with_desktop.sh. Usage: download_art_desktop_test.sh BIN_DIR SCREENSHOT_DIR
set -uo pipefail
bin=$1
shots=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/desktop_lib.sh"

fail() {
  report_failure download_art_failure "$@"
  [ -s "$work/requests.log" ] && cat "$work/requests.log" >&2
  exit 1
}

use_home fetcher
export XDG_CACHE_HOME=$HOME/cache
convert -size 1263x775 gradient:'#f4a000'-'#40104a' "$work/schroon.jpg"
convert -size 900x700 plasma:fractal -seed 4 "$work/other.jpg"
fixtures="$here/../data/museum"
python3 - "$fixtures/cma_search.json" "$work" >"$work/routes.json" <<'PY'
import json, sys
body = open(sys.argv[1], encoding="utf-8").read()
work = sys.argv[2]
print(json.dumps([
    {"path": "/api/artworks/", "responses": [{"status": 200, "body": body}]},
    {"path": "/cma/1335.1917_web.jpg", "responses": [{"status": 200, "file": work + "/schroon.jpg", "delay_ms": 2500}]},
    {"path": "/cma/2001.1_web.jpg", "responses": [{"status": 200, "file": work + "/other.jpg"}]},
]))
PY
coproc server { exec python3 "$here/../support/museum_server.py" "$work/routes.json" "$work/requests.log"; }
pids+=("$server_PID")
read -r -t 20 word port <&"${server[0]}" || fail "the museum server did not start"
[ "$word" = PORT ] || fail "the museum server said: $word $port"
export AMBIENCE_API_BASE_CMA=http://127.0.0.1:$port
export AMBIENCE_SEED=5

start_main_window || fail "the main window did not appear"
[ ! -s "$work/requests.log" ] || fail "the program asked the museum before anyone asked it to"

# The Packs page's menu; "Download art..." is the item before its last, "History..."
# (Up from the top wraps to the last).
xdotool mousemove --window "$wid" "$(at 120)" "$(at 250)" click 3
sleep 1
shot download_art_menu
xdotool key Up Up Return
wait_for 30 has_named '^Download art$' || fail "the Download art dialog did not appear"
dialog=$(window_named '^Download art$')
sleep 0.5
xdotool windowactivate --sync "$dialog" 2>/dev/null
# The museum list has the focus: Cleveland is the third from the end (before the
# Statens Museum for Kunst and the Rijksmuseum).
xdotool key --window "$dialog" End Up Up
sleep 0.3
shot download_art_dialog

xdotool key --window "$dialog" alt+d
# The image comes slowly, so the progress can be seen.
wait_for 30 has_named '^Downloading art' || fail "no progress dialog appeared"
sleep 0.7
shot download_art_progress
pack="$XDG_DATA_HOME/Ambience/Packs/Cleveland Museum of Art_ Landscapes.zip"
wait_for 60 test -s "$pack" || fail "no pack was installed at $pack"
wait_for 30 gone '^Downloading art$' || fail "the progress dialog did not close"
sleep 1
shot download_art_done

"$bin/ambience-cli" pack show "$pack" >"$work/show.txt" 2>&1 || fail "pack show failed: $(cat "$work/show.txt")"
grep -q "1838	View of Schroon Mountain, Essex County, New York, After a Storm	Thomas Cole" "$work/show.txt" || fail "the pack's captions: $(cat "$work/show.txt")"
grep -q "Pictures: *1" "$work/show.txt" || fail "the pack does not hold 1 picture: $(cat "$work/show.txt")"
grep -q "Name: *Cleveland Museum of Art: Landscapes" "$work/show.txt" || fail "the pack's name: $(cat "$work/show.txt")"
grep -q "2001.1_web" "$work/requests.log" && fail "a copyrighted work's image was asked for"
grep -q "Ambience/3.00" "$work/requests.log" || fail "the requests did not name the program"
echo "download art desktop test passed"
