# Sourced by the desktop scripts: stop_processes PID... asks each process to end,
# gives them ten seconds together, then kills what is left. A desktop shell asked
# to end may wait on a bus that nobody answers; ending a test must never hang.
# A process that leads a process group of its own (started with setsid) takes its
# group along: the helpers a shell started (Xwayland, a child stuck before exec)
# must not outlive the test.

# A process that is gone or only waits to be reaped does not count as running.
running() { [ -r "/proc/$1/stat" ] && ! sed 's/^.*) //' "/proc/$1/stat" 2>/dev/null | grep -q '^Z'; }
leads_group() { [ "$(ps -o pgid= -p "$1" 2>/dev/null | tr -d ' ')" = "$1" ]; }
group_running() { pgrep -g "$1" >/dev/null 2>&1; }

stop_processes() {
  local p left groups=()
  [ $# -gt 0 ] || return 0
  for p in "$@"; do leads_group "$p" && groups+=("$p"); done
  for p in "$@"; do kill "$p" 2>/dev/null; done
  for p in "${groups[@]}"; do kill -- "-$p" 2>/dev/null; done
  for _ in $(seq 1 100); do
    left=0
    for p in "$@"; do running "$p" && left=1; done
    for p in "${groups[@]}"; do group_running "$p" && left=1; done
    [ "$left" = 0 ] && break
    sleep 0.1
  done
  for p in "$@"; do
    running "$p" && { echo "killing $p ($(cat "/proc/$p/comm" 2>/dev/null)), which did not end when asked" >&2; kill -9 "$p" 2>/dev/null; }
  done
  for p in "${groups[@]}"; do kill -9 -- "-$p" 2>/dev/null; done
  wait 2>/dev/null
}
