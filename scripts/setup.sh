#!/usr/bin/env bash
# Installs every Debian package Ambience needs to build, run and test.
# Idempotent and non-interactive: packages already present are skipped.
set -euo pipefail

packages=(
  # build
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev
  zlib1g-dev libjpeg62-turbo-dev libssl-dev libx11-dev libxfixes-dev
  # tests, benchmarks, fuzzing
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  # tools that make test archives and read back pictures
  zip unzip 7zip libarchive-tools python3 imagemagick
  # desktop tests
  xvfb xauth openbox trayer xdotool x11-utils x11-apps
  # fonts, runtime
  fonts-liberation fonts-dejavu-core qt6-qpa-plugins libqt6svg6 xdg-utils
)

# Further packages, one list per subsystem: scripts/packages/*.txt, one name a line.
for list in "$(dirname "$0")"/packages/*.txt; do
  [ -f "$list" ] || continue
  while read -r name _; do
    case "$name" in ''|'#'*) continue ;; esac
    packages+=("$name")
  done <"$list"
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
