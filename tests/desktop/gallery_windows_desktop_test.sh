#!/usr/bin/env bash
# What a person sees of the record of the wall, on a real X display with openbox
# and a tray (trayer): after a few changes handed over by ambience-cli, the tray
# menu with "About this picture...", "Favourite" and "Never show this picture
# again"; the About window of a museum's work; the History window opened from the
# Packs page's menu, where Enter shows the selected picture again. Screenshots in
# SCREENSHOT_DIR (gallery_*.png).
# Run through with_desktop.sh. Usage: gallery_windows_desktop_test.sh BIN_DIR SCREENSHOT_DIR
set -uo pipefail
bin=$1
shots=$2
source "$(dirname "$0")/desktop_lib.sh"
fail() { report_failure gallery_windows_failure "$@"; exit 1; }
command -v python3 >/dev/null || { echo "SKIPPED: python3 is not installed"; exit 77; }

use_home home
export AMBIENCE_SEED=3 NO_AT_BRIDGE=1
# The sample packs as a museum's packs: a sources entry names each work's page,
# credit line and licence, as "Download art..." writes it.
for pack in "$bin"/*.zip; do
  python3 - "$pack" "$AMBIENCE_PROGRAM_DIR/$(basename "$pack")" <<'PY' || fail "no museum pack made of $pack"
import json, sys, zipfile
source, target = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(source) as z, zipfile.ZipFile(target, "w", zipfile.ZIP_STORED) as out:
    out.comment = z.comment
    works = {}
    for n, name in enumerate(z.namelist(), 1):
        out.writestr(z.getinfo(name), z.read(name))
        works[name] = {"title": name.rsplit(".", 1)[0].split(" - ")[2] if name.count(" - ") >= 2 else name,
                       "page": "https://museum.example/artworks/%d" % (1000 + n),
                       "credit": "Bequest of the Test Collection, %d" % (1950 + n),
                       "licence": "CC0 1.0 (public domain)"}
    out.writestr("sources.json", json.dumps(works, indent=1))
PY
done

start_main_window || fail "the main window did not appear"
shot gallery_start
# Three changes handed over by ambience-cli: three rows in the record.
for step in next next next; do
  out=$("$bin/ambience-cli" "$step" 2>&1) || fail "ambience-cli $step: $out"
done

# The tray: trayer's window; the icon is its yellow pixels.
tray_geometry() {
  xwininfo -root -tree 2>/dev/null | grep '"panel" "trayer"' | head -1 |
    sed -E 's/.* ([0-9]+)x([0-9]+)[+-][0-9]+[+-][0-9]+ +\+(-?[0-9]+)\+(-?[0-9]+).*/\3 \4 \1 \2/' | grep -E '^[0-9 -]+$'
}
icon_at() {
  read -r tx ty tw th < <(tray_geometry) || return 1
  import -window root -crop "${tw}x${th}+${tx}+${ty}" +repage "$work/tray.png" 2>/dev/null || return 1
  convert "$work/tray.png" -depth 8 txt:- | grep -i '#FFFF00' | head -1 |
    sed -E 's/^([0-9]+),([0-9]+):.*/\1 \2/' | awk -v tx="$tx" -v ty="$ty" '{print $1 + tx, $2 + ty}'
}
icon_docked() { [ -n "$(icon_at)" ]; }
wait_for 30 icon_docked || fail "no icon in the tray"
read -r ix iy < <(icon_at)

# 1. The tray menu, its new items last. Up from the open menu reaches the last
#    item first: "Never show this picture again", "Favourite", "About this picture...".
xdotool mousemove "$ix" "$iy" click 3
sleep 0.8
shot gallery_tray_menu
xdotool key Up Up Up Return
wait_for 30 has_named '^About this picture$' || fail "\"About this picture...\" opened no window"
sleep 0.5
shot gallery_about
about=$(window_named '^About this picture$')
xdotool windowactivate --sync "$about" key Escape 2>/dev/null
wait_for 10 gone '^About this picture$' || fail "Escape did not close the About window"

# 2. The History window from the Packs page's menu ("History..." is its last item).
wid=$(main_window)
xdotool windowactivate --sync "$wid" 2>/dev/null
xdotool mousemove --window "$wid" "$(at 50)" "$(at 75)" click 1
sleep 0.5
xdotool mousemove --window "$wid" "$(at 50)" "$(at 75)" click 3
sleep 0.8
xdotool key Up Return
wait_for 30 has_named '^History$' || fail "\"History...\" opened no window"
sleep 0.8
shot gallery_history

# 3. Enter shows the selected (newest) picture again: one more change.
before=$(desktops_changed)
history=$(window_named '^History$')
xdotool windowactivate --sync "$history" 2>/dev/null
xdotool key --window "$history" Down Return
counted() { [ "$(desktops_changed)" -gt "$1" ]; }
wait_for 60 counted "$before" || fail "Enter in the History window did not change the wallpaper"
sleep 0.8
shot gallery_history_again
echo "gallery windows desktop test: all checks passed"
