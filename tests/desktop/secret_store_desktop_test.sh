#!/usr/bin/env bash
# Pack passwords in a real keyring: a gnome-keyring-daemon of its own, unlocked,
# on a private session bus, with a home and runtime folder of its own; the
# machine's own bus and keyring are never reached.
#   secret_store_desktop_test.sh KEYCHAIN_PROBE AMBIENCE_CLI TEST_DATA_DIR
# Each probe call is a process of its own: what one writes, the next must read
# back from the daemon.
set -uo pipefail
probe=$1
cli=$2
data=$3

for tool in dbus-daemon gnome-keyring-daemon gdbus; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed; scripts/packages/secret.txt lists it"
    exit 77
  fi
done

work=$(mktemp -d)
bus_pid=
keyring_pid=
cleanup() {
  [ -n "$keyring_pid" ] && kill "$keyring_pid" 2>/dev/null
  [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

export HOME=$work/home XDG_RUNTIME_DIR=$work/run
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY XDG_CURRENT_DESKTOP DESKTOP_SESSION
export QT_QPA_PLATFORM=offscreen

bus_pid=$(dbus-daemon --session --fork --print-pid=1 --address="unix:path=$work/bus") || fail "no session bus"
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/bus
# --unlock reads the login keyring's password on stdin; a new home gets a new,
# unlocked keyring. In the foreground, so its process is ours to end.
printf 'keyring-password' | gnome-keyring-daemon --foreground --unlock --components=secrets \
  --control-directory="$XDG_RUNTIME_DIR/keyring" >/dev/null 2>"$work/keyring.log" &
keyring_pid=$!
# Its name comes on the bus shortly after: waited for, never activated.
gdbus wait --session --timeout 30 org.freedesktop.secrets || fail "the keyring did not come on the private bus: $(cat "$work/keyring.log")"

expect() { # expect WHAT COMMAND...: the command's output must be WHAT
  local want=$1; shift
  local got
  got=$("$@" 2>&1)
  [ "$got" = "$want" ] || fail "$* said \"$got\", not \"$want\""
}

service=AmbienceTest
expect "none" "$probe" "$service" read "pack:Café.zip"
expect "written" "$probe" "$service" write "pack:Café.zip" "pässword 1"
expect "found: pässword 1" "$probe" "$service" read "pack:Café.zip"
# Kept by the daemon, encrypted: in no file of the home folder as plain text.
grep -r -a -q "pässword 1" "$HOME" && fail "the secret is written in plain text: $(grep -r -a -l "pässword 1" "$HOME")"
expect "written" "$probe" "$service" write "pack:Café.zip" "second"
expect "found: second" "$probe" "$service" read "pack:Café.zip"
# Another key is another entry.
expect "none" "$probe" "$service" read "pack:Other.zip"
expect "forgotten" "$probe" "$service" forget "pack:Café.zip"
expect "none" "$probe" "$service" read "pack:Café.zip"
expect "forgotten" "$probe" "$service" forget "pack:Café.zip"

# ambience-cli: a password given once opens the pack the next time from the keyring,
# and never in the settings file.
program=$work/program
mkdir -p "$program"
cp "$data/packs/aes-7zip.zip" "$program/Locked.zip"
export AMBIENCE_PROGRAM_DIR=$program
run_cli() { "$cli" export "$work/out.jpg" --size 320x200 --pack Locked.zip "$@" </dev/null; }
run_cli >"$work/first.txt" 2>&1 && fail "an encrypted pack opened without its password: $(cat "$work/first.txt")"
grep -q -- "--password" "$work/first.txt" || fail "the refusal does not say how to give the password: $(cat "$work/first.txt")"
run_cli --password secret >"$work/second.txt" 2>&1 || fail "--password did not open the pack: $(cat "$work/second.txt")"
run_cli >"$work/third.txt" 2>&1 || fail "the kept password was not used: $(cat "$work/third.txt")"
expect "found: secret" "$probe" Ambience read "pack:Locked.zip"
settings=$XDG_CONFIG_HOME/Ambience/registry.reg
if [ -f "$settings" ] && grep -a -q "secret" "$settings"; then
  fail "the password is in the settings file"
fi

# On a terminal (script(1) gives the command one) the password is asked for; a
# wrong answer is said and asked again, the right one opens the pack and is kept.
if command -v script >/dev/null; then
  expect "forgotten" "$probe" Ambience forget "pack:Locked.zip"
  printf 'wrong\nsecret\n' | script -qec "'$cli' export '$work/tty.jpg' --size 320x200 --pack Locked.zip" /dev/null \
    >"$work/tty.txt" 2>&1 || fail "the password typed on the terminal did not open the pack: $(cat "$work/tty.txt")"
  grep -q 'Password for the pack "Locked with 7-Zip"' "$work/tty.txt" || fail "no question: $(cat "$work/tty.txt")"
  grep -q "does not open the pack" "$work/tty.txt" || fail "a wrong password was not said: $(cat "$work/tty.txt")"
  expect "found: secret" "$probe" Ambience read "pack:Locked.zip"
fi
echo "PASS"
