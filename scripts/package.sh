#!/usr/bin/env bash
# Builds the Debian package: BUILD_DIR/package/ambience_<version>_<arch>.deb (default
# build/), after installing what is needed and building, with the screenshots that
# the AppStream metainfo names beside it in BUILD_DIR/package/screenshots/. Prints
# the package's path last.
#   --built: the build is done already (the package test): only package it.
set -euo pipefail
cd "$(dirname "$0")/.."
built=0
if [ "${1:-}" = --built ]; then built=1; shift; fi
dir=${1:-build}
if [ "$built" = 0 ]; then
  bash scripts/setup.sh
  bash scripts/build.sh "$dir"
fi
dir=$(cd "$dir" && pwd)
out="$dir/package"
mkdir -p "$out"
rm -f "$out"/ambience_*.deb

# cpack installs through cmake_install.cmake, which writes install_manifest.txt: keep
# the one of the last real install, which the uninstall target reads.
manifest="$dir/install_manifest.txt"
saved=""
if [ -f "$manifest" ]; then saved=$(mktemp); cp -p "$manifest" "$saved"; fi
restore() {
  if [ -n "$saved" ]; then mv -f "$saved" "$manifest"; else rm -f "$manifest"; fi
}
trap restore EXIT
if ! (cd "$dir" && cpack -G DEB --config CPackConfig.cmake) >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log" >&2
  echo "package: cpack failed" >&2
  exit 1
fi
deb=$(ls "$out"/ambience_*.deb)

# Screenshots for software centres, made by the program: two expositions from its
# sample packs, at the size the metainfo states, and its window.
shots="$out/screenshots"
home=$(mktemp -d)
mkdir -p "$shots"
shoot() {
  env -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
    "$dir/bin/ambience-cli" export "$shots/$1" --size 1248x702 "${@:2}" >/dev/null
}
shoot exposition-gallery.jpg --pack ambience-gallery --seed 7 --background Shaded
shoot exposition-lines.jpg --pack ambience-lines --seed 3 --background Embossed
rm -rf "$home"
bash tests/desktop/with_desktop.sh --size 1280x800 bash packaging/window_screenshot.sh "$dir/bin" "$shots/window.png"
echo "$deb"
