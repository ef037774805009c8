# Shared by the desktop test scripts (sourced, not run). Expects $shots (the folder for
# screenshots) and defines: a work folder $work removed at exit together with the
# processes listed in $pids, a private user (use_home), reading the settings store,
# waiting, finding the main window and taking screenshots.

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$shots"

shot() { import -window root "$shots/$1.png"; }

# A private user: home, settings, data, runtime folder, and the packs folder
# $work/program shared by all users of one script.
use_home() {
  export HOME=$work/$1
  export XDG_CONFIG_HOME=$HOME/config XDG_DATA_HOME=$HOME/data XDG_RUNTIME_DIR=$HOME/run
  export AMBIENCE_PROGRAM_DIR=$work/program
  mkdir -p "$XDG_CONFIG_HOME/Ambience" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR" "$AMBIENCE_PROGRAM_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
}

registry() { cat "$XDG_CONFIG_HOME/Ambience/registry.reg" 2>/dev/null; }
desktops_changed() {
  local v
  v=$(registry | grep -i '^"DesktopsChanged"=dword:' | head -1 | sed 's/.*dword://' | tr -d '\r')
  [ -n "$v" ] && echo $((16#$v)) || echo 0
}

wait_for() { # seconds command...
  local limit=$1; shift
  for _ in $(seq 1 $((limit * 10))); do "$@" && return 0; sleep 0.1; done
  return 1
}

main_window() { xdotool search --onlyvisible --name '^Ambience' 2>/dev/null | head -1; }
has_window() { [ -n "$(main_window)" ]; }

# Windows by title, for the dialogs a test drives.
window_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
has_named() { [ -n "$(window_named "$1")" ]; }
gone() { [ -z "$(window_named "$1")" ]; }

# Starts the desktop program ($bin/ambience, its output in $work/ambience.log) and
# waits for its main window: sets $wid and $scale, the window's width over its
# design width, for at(). Fails when no window appears.
start_main_window() {
  "$bin/ambience" 2>"$work/ambience.log" &
  pids+=("$!")
  wait_for 60 has_window || return 1
  wid=$(main_window)
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  scale=$(awk -v w="$WIDTH" 'BEGIN { print w / 601 }')
}
# A design coordinate of the main window in pixels.
at() { awk -v s="$scale" -v v="$1" 'BEGIN { printf "%d", v * s }'; }

# What a failing window test shows: its message, the windows open, a screenshot
# named $1 and the program's last words. The caller exits.
report_failure() {
  local name=$1; shift
  echo "FAIL: $*" >&2
  for w in $(xdotool search --name . 2>/dev/null); do echo "  window $w: $(xdotool getwindowname "$w")" >&2; done
  shot "$name"
  [ -s "$work/ambience.log" ] && tail -20 "$work/ambience.log" >&2
  return 0
}

# Takes screenshots with TAKE (a function given the shot's name) and compares each
# with the picture through the script's own compare(), until they agree or TRIES
# quarter seconds have passed; the last comparison's words are in $work/compare.txt.
shows_within() { # tries take name picture [boxes...]
  local tries=$1 take=$2 name=$3; shift 3
  for _ in $(seq 1 "$tries"); do
    "$take" "$name" && compare "$shots/$name.png" "$@" >"$work/compare.txt" && return 0
    sleep 0.25
  done
  return 1
}
