#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: the normal build, the same
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, and each fuzz target
# for a while. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
status=0

# The tests run as if on a GNOME desktop with a session bus, with a gsettings
# that notes every call: a test that reached the desktop would leave a line.
guard=$(mktemp -d)
trap 'rm -rf "$guard"' EXIT
printf '#!/bin/sh\necho "gsettings $*" >>"%s/calls.log"\n' "$guard" >"$guard/gsettings"
chmod +x "$guard/gsettings"
guarded() {
  PATH="$guard:$PATH" XDG_CURRENT_DESKTOP=GNOME DESKTOP_SESSION=gnome \
    DBUS_SESSION_BUS_ADDRESS="unix:path=$guard/no-bus" "$@"
}
check_guard() {
  if [ -s "$guard/calls.log" ]; then
    echo "tests reached the desktop's wallpaper settings:"
    cat "$guard/calls.log"
    status=1
  fi
}

echo "== build and test (RelWithDebInfo)"
bash scripts/build.sh build
(cd build && guarded ctest --output-on-failure -j "$jobs" --timeout 600) || {
  # A real desktop shell on a loaded machine can be slow beyond a test's patience,
  # or hang in a fault of its own.
  # When only desktop tests failed, each is run once more on its own; it counts
  # as passed only if it then passes, and the log says so. Any other failure stands.
  failed=$(cut -d: -f2 build/Testing/Temporary/LastTestsFailed.log 2>/dev/null || true)
  desktop=$(cd build && ctest -N -L desktop | sed -n 's/^ *Test *#[0-9]*: //p')
  others=$(comm -23 <(sort <<<"$failed") <(sort <<<"$desktop"))
  if [ -n "$failed" ] && [ -z "$others" ] &&
     (cd build && guarded ctest --output-on-failure --rerun-failed -j 1 --timeout 600); then
    echo "passed only when run again on its own: $(echo $failed)"
  else
    status=1
  fi
}
check_guard

if [ "${AMBIENCE_SKIP_SANITIZE:-0}" != 1 ]; then
  echo "== build and test (AddressSanitizer + UndefinedBehaviorSanitizer)"
  bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DAMBIENCE_SANITIZE=ON -DAMBIENCE_BENCH=OFF
  (cd build-asan && ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
     guarded ctest --output-on-failure -j "$jobs" --timeout 900 -LE "desktop|package|whole") || status=1
  check_guard
fi

if [ "${AMBIENCE_SKIP_FUZZ:-0}" != 1 ]; then
  echo "== fuzz targets"
  bash scripts/fuzz.sh "${AMBIENCE_FUZZ_SECONDS:-30}" || status=1
fi

if [ "$status" -ne 0 ]; then
  echo "tests: FAILED"
else
  echo "tests: all passed"
fi
exit "$status"
