# Shared by the desktop test scripts (sourced, not run). Expects $shots (the folder for
# screenshots) and defines: a work folder $work removed at exit together with the
# processes listed in $pids, a private user (use_home), reading the settings store,
# waiting, finding the main window and taking screenshots.

work=$(mktemp -d)
pids=()
source "$(dirname "${BASH_SOURCE[0]}")/stop_processes.sh"
cleanup() {
  stop_processes "${pids[@]}"
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

# Buses of the script's own, never the machine's; each returns non-zero when its
# daemon does not start. A desktop shell asks the system bus for logind, accounts
# and the like: on this one none of them answers.
start_system_bus() {
  cat >"$work/system.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$work/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/><allow own="*"/>
    <allow send_type="method_call"/><allow send_type="signal"/><allow send_requested_reply="true"/>
    <allow receive_type="method_call"/><allow receive_type="signal"/><allow receive_requested_reply="true"/>
  </policy>
</busconfig>
CONF
  dbus-daemon --config-file="$work/system.conf" --fork --print-pid=4 4>"$work/system.pid" || return 1
  pids+=("$(cat "$work/system.pid")")
  export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/system_bus_socket
}
start_session_bus() {
  dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus.address" 4>"$work/bus.pid" || return 1
  pids+=("$(cat "$work/bus.pid")")
  export DBUS_SESSION_BUS_ADDRESS=$(cat "$work/bus.address")
}

registry() { cat "$XDG_CONFIG_HOME/Ambience/registry.reg" 2>/dev/null; }
desktops_changed() {
  local v
  v=$(registry | grep -i '^"DesktopsChanged"=dword:' | head -1 | sed 's/.*dword://' | tr -d '\r')
  [ -n "$v" ] && echo $((16#$v)) || echo 0
}

# Tries the command ten times a second for the seconds given. A command that itself
# waits (on a bus that does not answer) slows the tries down, but cannot stretch
# the whole past twice the seconds on the clock.
wait_for() { # seconds command...
  local tries=$(($1 * 10)) deadline=$((SECONDS + 2 * $1)); shift
  for _ in $(seq 1 "$tries"); do
    "$@" && return 0
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
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
# quarter seconds have passed (or, with screenshots slow to come, TRIES seconds);
# the last comparison's words are in $work/compare.txt.
shows_within() { # tries take name picture [boxes...]
  local tries=$1 take=$2 name=$3; shift 3
  local deadline=$((SECONDS + tries))
  for _ in $(seq 1 "$tries"); do
    [ "$SECONDS" -le "$deadline" ] || return 1
    "$take" "$name" && compare "$shots/$name.png" "$@" >"$work/compare.txt" && return 0
    sleep 0.25
  done
  return 1
}

# GNOME Shell 43 can hang as it starts: it forks to start ibus-daemon and runs
# JavaScript in the child before exec, which deadlocks when another of its threads
# held a lock at the fork (more often on a busy machine); the Shell then waits for
# that child for ever. A start that does not come up in time is ended, with its
# process group, and made again.
# Up once its start is over; a Shell that does not answer at all is not.
gnome_shell_up() {
  gdbus call --session --timeout 3 --dest org.gnome.Shell --object-path /org/gnome/Shell --method org.gnome.Shell.Eval \
    'Main.layoutManager._startingUp' 2>/dev/null | grep -q "(true, 'false')"
}
start_gnome_shell() { # log arguments...
  local log=$1 attempt pid; shift
  for attempt in 1 2 3; do
    setsid gnome-shell "$@" >>"$log" 2>&1 &
    pid=$!
    if wait_for 30 gnome_shell_up; then
      pids+=("$pid")
      return 0
    fi
    echo "[${SECONDS}s] GNOME Shell did not come up (start $attempt); its processes: $(ps -o pid=,stat=,wchan:20=,args= -g "$pid" | cut -c1-90 | tr '\n' ';')" >&2
    stop_processes "$pid"
  done
  return 1
}
