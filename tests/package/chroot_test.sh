#!/usr/bin/env bash
# Installs the package with apt-get into a bare Debian 12 root (debootstrap
# --variant=minbase), uses it there as a normal user, purges it and compares the
# root's files before and after. The bare root is made once and kept as a tarball
# in /var/cache/ambience-test/, with the Debian packages downloaded so far; every
# run unpacks a fresh copy. The Debian mirror must be reachable (for debootstrap
# the first time, and for apt-get every time): when it is not, the test fails
# and says so.
#
# Usage: chroot_test.sh PACKAGE.deb VERSION       (as root)
set -u
deb=$(realpath "$1")
version=$2
cache=${AMBIENCE_TEST_CACHE:-/var/cache/ambience-test}
mirror=${AMBIENCE_DEBIAN_MIRROR:-http://deb.debian.org/debian}
tarball="$cache/bookworm-minbase.tar"
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
check() { local what=$1; shift; if "$@"; then echo "ok   $what"; else fail "$what"; fi; }

# Takes a run's folder away, its /proc unmounted first.
remove_run() {
    local proc="$1/root/proc"
    if mountpoint -q "$proc" 2>/dev/null; then umount "$proc" || umount -l "$proc"; fi
    if mountpoint -q "$proc" 2>/dev/null; then
        echo "chroot: $proc is still mounted; leaving $1 in place"
    else
        rm -rf --one-file-system "$1"
    fi
}
mkdir -p "$cache/debs"
# A run that was killed (a time-out) left its folder: each run holds a lock on its
# own, so one whose lock is free is over.
for old in "$cache"/run.*; do
    [ -d "$old" ] || continue
    if exec 8<>"$old/lock" 2>/dev/null && flock -n 8; then remove_run "$old"; fi
    exec 8>&-
done
run=$(mktemp -d "$cache/run.XXXXXX")
root="$run/root"
exec 7>"$run/lock"
flock 7
trap 'remove_run "$run"' EXIT
trap 'exit 1' INT TERM HUP

# The bare root, made once (one run at a time makes it).
exec 9>"$cache/lock"
flock 9
if [ ! -s "$tarball" ]; then
    echo "chroot: making a bare Debian 12 root with debootstrap from $mirror (once)"
    make="$run/make"
    if ! debootstrap --variant=minbase bookworm "$make" "$mirror" >"$run/debootstrap.log" 2>&1; then
        tail -n 15 "$run/debootstrap.log"
        echo "FAIL debootstrap could not make a Debian 12 root from $mirror: is the Debian mirror reachable?"
        exit 1
    fi
    rm -f "$make"/var/cache/apt/archives/*.deb
    tar -C "$make" --numeric-owner -cf "$tarball.part" . && mv "$tarball.part" "$tarball"
    rm -rf --one-file-system "$make"
fi
flock -u 9
mkdir "$root"
tar -C "$root" --numeric-owner -xf "$tarball"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
echo "deb $mirror bookworm main" >"$root/etc/apt/sources.list"
cp "$cache"/debs/*.deb "$root/var/cache/apt/archives/" 2>/dev/null

in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }
as_user() {
    chroot --userspec=tester:tester "$root" env -i HOME=/home/tester USER=tester PATH=/usr/bin:/bin LANG=C.UTF-8 \
        XDG_RUNTIME_DIR=/tmp/tester-run "$@"
}
keep_debs() { cp -n "$root"/var/cache/apt/archives/*.deb "$cache/debs/" 2>/dev/null; }

# apt-get update ends with 0 even when it fetched nothing: its messages tell.
if ! in_root apt-get update >"$run/update.log" 2>&1 || grep -qE '^(Err:|E: |W: (Failed to fetch|Some index files))' "$run/update.log"; then
    cat "$run/update.log"
    echo "FAIL apt-get update in the Debian 12 root cannot reach the Debian mirror $mirror"
    exit 1
fi
# The manual page reader is no part of a bare root; the test reads the page with it.
in_root apt-get install -y -qq --no-install-recommends man-db >"$run/man-db.log" 2>&1 ||
    { cat "$run/man-db.log"; echo "FAIL installing man-db in the root"; exit 1; }
in_root useradd --create-home --shell /bin/bash tester
# The root's files, less what the package tools keep for themselves and the user's
# home and temporary files, which a purge leaves by design.
listing() {
    (cd "$root" && find . -xdev \( -path ./proc -o -path ./var/cache/apt -o -path ./var/lib/apt -o -path ./var/lib/dpkg \
        -o -path ./var/log -o -path ./var/cache/debconf -o -path ./home/tester -o -path ./tmp \) -prune -o -print | sort)
}

cp "$deb" "$root/tmp/"
install_package() {
    local start=$SECONDS
    if in_root apt-get install -y -q "./tmp/$(basename "$deb")" >"$run/install.log" 2>&1; then
        echo "ok   apt-get install ./$(basename "$deb") ($((SECONDS - start)) s)"
        keep_debs
    else
        cat "$run/install.log"
        keep_debs
        echo "FAIL apt-get install of the package into the Debian 12 root"
        exit 1
    fi
}
purge_package() {
    if ! in_root apt-get purge -y -q ambience >"$run/purge.log" 2>&1; then
        cat "$run/purge.log"
        fail "apt-get purge ambience"
    fi
}
# Once to bring in the dependencies, which apt-get purge leaves; the root as it is
# then is what the second install and purge must leave unchanged.
install_package
purge_package
listing >"$run/before.txt"
install_package
in_root dpkg-query -L ambience | sort >"$run/owned.txt"

# The programs find their folder through /proc/self/exe.
mount -t proc proc "$root/proc"
mkdir -p "$root/tmp/tester-run" && in_root chown tester:tester /tmp/tester-run && chmod 700 "$root/tmp/tester-run"

out=$(as_user ambience-cli --version 2>&1)
check "ambience-cli --version says \"Ambience $version\" (said: $out)" test "$out" = "Ambience $version"
out=$(as_user ambience --version 2>&1)
check "ambience --version says \"Ambience $version\" (said: $out)" test "$out" = "Ambience $version"
out=$(as_user ambience 2>&1); rc=$?
check "ambience without a display ends with 1 (got $rc)" test "$rc" -eq 1
check "and says so in its own words, naming ambience-cli: $out" \
    bash -c 'grep -q "ambience-cli" <<<"$1" && ! grep -qi "reinstall" <<<"$1"' _ "$out"

as_user ambience-cli random --local --size 320x200 --seed 1 >"$run/random.txt" 2>&1
rc=$?
cat "$run/random.txt"
# 3: the wallpaper file was written, but no desktop took it (there is none here).
check "ambience-cli random --local composes (exit $rc)" test "$rc" -eq 0 -o "$rc" -eq 3
check "the exposition was written" test -s "$root/home/tester/.local/share/Ambience/Ambience/ambience.bmp"

pack_source=/home/tester/my-lines.zip
if as_user ambience-cli help | grep -qE '^  pack .*\bmake\b'; then
    # The pack maker: a folder with one picture (an exposition, exported) into a pack.
    as_user mkdir -p /home/tester/art
    as_user ambience-cli export /home/tester/art/picture.jpg --size 320x200 --seed 2 >/dev/null 2>&1
    as_user ambience-cli pack make /home/tester/art --name "My Lines" --out "$pack_source" >"$run/make.txt" 2>&1
    rc=$?
    cat "$run/make.txt"
    check "ambience-cli pack make (exit $rc)" test "$rc" -eq 0 -a -s "$root$pack_source"
else
    echo "skip ambience-cli pack make: \"ambience-cli help\" does not list it in this version"
    cp "$root/usr/lib/ambience/ambience-lines.zip" "$root$pack_source" && in_root chown tester:tester "$pack_source"
fi
as_user ambience-cli install "$pack_source" >"$run/install-pack.txt" 2>&1
rc=$?
cat "$run/install-pack.txt"
installed=$(find "$root/home/tester" -name my-lines.zip -path '*Ambience*')
check "ambience-cli install puts the pack into the user's folder (exit $rc)" test "$rc" -eq 0 -a -n "$installed"
check "ambience-cli packs lists it" bash -c 'grep -q "my-lines.zip" <<<"$1"' _ "$(as_user ambience-cli packs 2>&1)"

man_text=$(as_user env MANWIDTH=80 MANPAGER=cat man ambience-cli 2>&1)
check "man ambience-cli shows the page" bash -c 'grep -q "^COMMANDS" <<<"$1" && grep -q "ambience-cli - compose" <<<"$1"' _ "$man_text"
man_text=$(as_user env MANWIDTH=80 MANPAGER=cat man ambience 2>&1)
check "man ambience shows the page" bash -c 'grep -q "^OPTIONS" <<<"$1"' _ "$man_text"

umount "$root/proc"

# Purged, nothing of it is left: none of its files, and no file that was not
# there before it was installed; nothing named after it outside the user's home.
purge_package
listing >"$run/after.txt"
left=$(comm -12 <(sed 's|^/|./|' "$run/owned.txt" | sort) "$run/after.txt" | comm -23 - "$run/before.txt")
check "none of the package's files is left${left:+: $(echo $left)}" test -z "$left"
new=$(comm -13 "$run/before.txt" "$run/after.txt")
check "no file left that was not there before${new:+: $(echo $new)}" test -z "$new"
gone=$(comm -23 "$run/before.txt" "$run/after.txt")
check "no file of others taken away${gone:+: $(echo $gone)}" test -z "$gone"
named=$(grep -i ambience "$run/after.txt")
check "nothing named after it is left${named:+: $(echo $named)}" test -z "$named"

[ "$failures" -eq 0 ]
