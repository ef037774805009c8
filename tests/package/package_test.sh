#!/usr/bin/env bash
# The Debian package as a user and Debian's tools see it: built from the finished
# build, then checked with lintian, appstreamcli and desktop-file-validate; its
# manual pages rendered and held against "ambience-cli help"; its completion
# scripts driven by bash, zsh and fish; then installed into a bare Debian 12 root
# and used there as a normal user, and purged again (chroot_test.sh).
#
# Usage: package_test.sh SOURCE_DIR BUILD_DIR     (as root: debootstrap and chroot)
set -u
source_dir=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
here="$source_dir/tests/package"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
start=$SECONDS
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
check() { local what=$1; shift; if "$@"; then echo "ok   $what"; else fail "$what"; fi; }
phase() { echo "== $* (at ${SECONDS}s)"; }

if [ "$(id -u)" -ne 0 ]; then
    echo "FAIL the package test needs root (debootstrap, chroot); run it with sudo"
    exit 1
fi

phase "building the package"
if ! deb=$(bash "$source_dir/scripts/package.sh" --built "$build" | tail -n 1) || [ ! -f "$deb" ]; then
    echo "FAIL scripts/package.sh"
    exit 1
fi
version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$build/bin/ambience-cli" --version | sed -n 's/^Ambience //p')
arch=$(dpkg --print-architecture)
check "package named after the program's version ($version) and arch" test "$(basename "$deb")" = "ambience_${version}_${arch}.deb"
check "package version field" test "$(dpkg-deb -f "$deb" Version)" = "$version"

root="$tmp/root"
dpkg-deb -x "$deb" "$root"
for f in usr/lib/ambience/ambience usr/lib/ambience/ambience-cli usr/lib/ambience/ambience-cli-packs \
         usr/lib/ambience/ambience-gallery.zip \
         usr/lib/ambience/ambience-lines.zip usr/lib/ambience/site/help.html \
         usr/share/applications/ambience.desktop usr/share/icons/hicolor/scalable/apps/ambience.svg \
         usr/share/man/man1/ambience.1.gz usr/share/man/man1/ambience-cli.1.gz \
         usr/share/bash-completion/completions/ambience-cli usr/share/zsh/vendor-completions/_ambience-cli \
         usr/share/fish/vendor_completions.d/ambience-cli.fish \
         usr/share/metainfo/io.github.ambience.Ambience.metainfo.xml \
         usr/share/doc/ambience/copyright usr/share/doc/ambience/changelog.gz; do
    check "package holds /$f" test -e "$root/$f"
done
for size in 16 22 24 32 48 64 128 256; do
    icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/ambience.png"
    check "icon ${size}x${size} is a PNG of that size" \
        bash -c 'file -b "$1" | grep -q "PNG image data, $2 x $2,"' _ "$icon" "$size"
done
for program in ambience ambience-cli; do
    check "launcher /usr/bin/$program" test "$(readlink "$root/usr/bin/$program")" = "../lib/ambience/$program"
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6core6 libqt6widgets6 libjpeg62-turbo libssl3 qt6-qpa-plugins fonts-liberation fonts-dejavu-core xdg-utils; do
    check "depends on $d" grep -q "\b$d\b" <<<"$depends"
done

phase "lintian"
lintian --display-level ">=info" --fail-on error "$deb" >"$tmp/lintian.txt" 2>&1
rc=$?
cat "$tmp/lintian.txt"
check "lintian finds no error (exit $rc)" test "$rc" -eq 0
# Kept warnings, each with its reason in packaging/lintian-kept.txt; any other is a failure.
unexpected=$(grep -E '^W: ' "$tmp/lintian.txt" | awk '{print $3}' | sort -u |
             grep -vxF -f <(grep -v '^#' "$source_dir/packaging/lintian-kept.txt" | awk 'NF {print $1}'))
check "lintian warns only of kept tags${unexpected:+ (new: $unexpected)}" test -z "$unexpected"

phase "metainfo, menu entry, manual pages"
metainfo="$root/usr/share/metainfo/io.github.ambience.Ambience.metainfo.xml"
check "appstreamcli validate" appstreamcli validate --no-net "$metainfo"
check "metainfo names this release" grep -q "<release version=\"$version\"" "$metainfo"
check "changelog names this release" bash -c 'zcat "$1" | head -n 1 | grep -qF "ambience ($2)"' _ \
    "$root/usr/share/doc/ambience/changelog.gz" "$version"
check "desktop-file-validate" desktop-file-validate "$root/usr/share/applications/ambience.desktop"
for shot in exposition-gallery.jpg exposition-lines.jpg; do
    check "screenshot $shot made, as the metainfo names it" \
        bash -c 'grep -q "/screenshots/$1<" "$2" && file -b "$3/$1" | grep -q "JPEG image data.* 1248x702"' _ \
        "$shot" "$metainfo" "$build/package/screenshots"
done
check "screenshot window.png made, as the metainfo names it" \
    bash -c 'grep -q "/screenshots/window.png<" "$1" && file -b "$2" | grep -q "PNG image data"' _ \
    "$metainfo" "$build/package/screenshots/window.png"
for page in ambience ambience-cli; do
    file="$root/usr/share/man/man1/$page.1.gz"
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" >"$tmp/$page.txt" 2>"$tmp/$page.err"
    check "man -l $page.1 renders without warnings" test $? -eq 0 -a ! -s "$tmp/$page.err"
    cat "$tmp/$page.err"
done
# Every command that "ambience-cli help" lists has its entry in the manual page.
env -u DISPLAY -u WAYLAND_DISPLAY "$build/bin/ambience-cli" help | awk '/^  [a-z]/ {print $1}' >"$tmp/commands.txt"
check "ambience-cli help lists commands" test -s "$tmp/commands.txt"
while read -r command; do
    check "manual page describes \"$command\"" grep -qE "^       $command( |,|$)" "$tmp/ambience-cli.txt"
done <"$tmp/commands.txt"
check "manual page has the settings" grep -q "BackgroundType" "$tmp/ambience-cli.txt"
check "ambience(1) lists /startup and /install" grep -q "/install" "$tmp/ambience.txt"

phase "shell completion"
HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home/.config" XDG_DATA_HOME="$tmp/home/.local/share" \
    PATH="$root/usr/bin:$PATH" bash "$here/completion_test.sh" "$root" || failures=$((failures + 1))

phase "install into a bare Debian 12 root"
bash "$here/chroot_test.sh" "$deb" "$version" || failures=$((failures + 1))

echo "package test took $((SECONDS - start)) s"
if [ "$failures" -ne 0 ]; then
    echo "package: $failures failed"
    exit 1
fi
echo "package: all checks passed"
