#!/usr/bin/env bash
# Installs the built tree into a temporary prefix (with a blank in its name, as a
# user's folder may have) and checks what a user gets: the program folder with the
# programs, the sample packs and the help pages; launchers in bin/ that find that
# folder through /proc/self/exe; a valid menu entry whose actions run; the icon.
# The build's own install_manifest.txt (a real install's record) is kept as it was.
#
# Usage: install_test.sh BUILD_DIR
set -u
# The installed programs must not reach the desktop of the person running this.
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION XDG_SESSION_DESKTOP GDMSESSION DBUS_SESSION_BUS_ADDRESS \
      DISPLAY WAYLAND_DISPLAY SWAYSOCK HYPRLAND_INSTANCE_SIGNATURE
build=$(cd "$1" && pwd)
tmp=$(mktemp -d)
prefix="$tmp/my prefix"
manifest="$build/install_manifest.txt"
saved_manifest=""
failures=0

cleanup() {
    if [ -n "$saved_manifest" ]; then
        mv -f "$saved_manifest" "$manifest"
    else
        rm -f "$manifest"
    fi
    if [ -n "${gui_pid:-}" ]; then kill "$gui_pid" 2>/dev/null; fi
    rm -rf "$tmp"
}
trap cleanup EXIT
if [ -f "$manifest" ]; then
    saved_manifest="$tmp/manifest.saved"
    cp -p "$manifest" "$saved_manifest"
fi

fail() { echo "FAIL $*"; failures=$((failures + 1)); }
check() { local what=$1; shift; if "$@"; then echo "ok   $what"; else fail "$what"; fi; }

if ! cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
    cat "$tmp/install.log"
    echo "FAIL cmake --install"
    exit 1
fi

program="$prefix/lib/ambience"
check "programs in the program folder" test -x "$program/ambience" -a -x "$program/ambience-cli"
for pack in ambience-gallery.zip ambience-lines.zip; do
    check "sample pack $pack" test -f "$program/$pack"
done
for page in index.html help.html faq.html style.css art/index.html; do
    check "help page $page" test -f "$program/site/$page"
done
check "no build files among the pages" test ! -e "$program/site/CMakeLists.txt"
for launcher in ambience ambience-cli; do
    check "launcher bin/$launcher links into the program folder" \
        test "$(readlink "$prefix/bin/$launcher")" = "../lib/ambience/$launcher" -a -x "$prefix/bin/$launcher"
done
check "scalable icon" test -f "$prefix/share/icons/hicolor/scalable/apps/ambience.svg"
check "32x32 icon" test -f "$prefix/share/icons/hicolor/32x32/apps/ambience.png"

entry="$prefix/share/applications/ambience.desktop"
check "menu entry" test -f "$entry"
if command -v desktop-file-validate >/dev/null; then
    check "menu entry is valid" desktop-file-validate "$entry"
else
    fail "desktop-file-validate missing (Debian package desktop-file-utils)"
fi
check "menu entry starts the installed program" grep -qx "Exec=\"$prefix/bin/ambience\"" "$entry"
for action in Refresh Random Next Back; do
    check "desktop action $action" grep -q "^\[Desktop Action $action\]" "$entry"
done

# Every record of the install is in the manifest, the launchers included.
for f in "$prefix/bin/ambience" "$prefix/bin/ambience-cli" "$entry" "$program/site/help.html" \
         "$program/ambience-gallery.zip"; do
    check "manifest lists ${f#"$prefix"/}" grep -qxF "$f" "$manifest"
done

# A user's session: own folders, no display, no desktop; the program folder is found
# from the program file alone.
home="$tmp/home"
mkdir -p "$home" "$tmp/run" && chmod 700 "$tmp/run"
user_env=(env -u AMBIENCE_PROGRAM_DIR -u DISPLAY -u WAYLAND_DISPLAY -u XDG_CURRENT_DESKTOP
          -u DESKTOP_SESSION -u DBUS_SESSION_BUS_ADDRESS -u AMBIENCE_SEED
          HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
          XDG_RUNTIME_DIR="$tmp/run" QT_QPA_PLATFORM=offscreen)

"${user_env[@]}" "$prefix/bin/ambience-cli" packs >"$tmp/packs.txt" 2>"$tmp/packs.err"
rc=$?
check "installed ambience-cli packs runs (exit $rc)" test "$rc" -eq 0
check "it lists the sample gallery" grep -q "Ambience Gallery" "$tmp/packs.txt"
check "it lists the sample drawings" grep -q "Ambience Lines" "$tmp/packs.txt"
if [ "$failures" -ne 0 ]; then cat "$tmp/packs.txt" "$tmp/packs.err"; fi

# The "Random" action of the menu entry, as the desktop would run it (small screen).
exec_line=$(awk '/^\[Desktop Action Random\]/{a=1} a && /^Exec=/{sub(/^Exec=/, ""); print; exit}' "$entry")
eval "set -- $exec_line"
"${user_env[@]}" "$@" --size 320x200 --seed 1 >"$tmp/random.txt" 2>&1
rc=$?
# 3: the wallpaper file was written, but there is no desktop here to take it.
check "menu action Random composes (exit $rc)" test "$rc" -eq 0 -o "$rc" -eq 3
check "the wallpaper file was written" test -s "$home/.local/share/Ambience/Ambience/ambience.bmp"
if [ "$failures" -ne 0 ]; then cat "$tmp/random.txt"; fi

# The desktop program starts from its launcher and stays; its login entry names the
# real program file.
"${user_env[@]}" "$prefix/bin/ambience" >"$tmp/gui.txt" 2>&1 &
gui_pid=$!
autostart="$home/.config/autostart/ambience.desktop"
for _ in $(seq 1 100); do
    [ -f "$autostart" ] && break
    kill -0 "$gui_pid" 2>/dev/null || break
    sleep 0.2
done
sleep 1
if kill -0 "$gui_pid" 2>/dev/null; then
    echo "ok   installed ambience keeps running"
    kill "$gui_pid"
    wait "$gui_pid" 2>/dev/null
else
    wait "$gui_pid"
    fail "installed ambience ended at once (exit $?)"
    cat "$tmp/gui.txt"
fi
gui_pid=""
check "login entry names the installed program" grep -qF "$program/ambience" "$autostart"

if [ "$failures" -ne 0 ]; then
    echo "install: $failures failed"
    exit 1
fi
echo "install: all checks passed"
