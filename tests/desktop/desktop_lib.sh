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
