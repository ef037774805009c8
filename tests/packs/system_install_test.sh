#!/usr/bin/env bash
# A system-wide install as an ordinary user sees it: the program and its bundled
# packs in a folder owned by root that the user cannot write, the user's own packs
# under their home. Runs ambience-cli as "nobody", so the folder's rights are real
# even when the tests run as root.
#
# Usage: system_install_test.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
chmod 755 "$tmp"
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
check() { local what=$1; shift; if "$@"; then echo "ok   $what"; else fail "$what"; fi; }

if [ "$(id -u)" != 0 ] && ! command -v setpriv >/dev/null; then
    echo "skipped: needs root and setpriv to act as another user"
    exit 0
fi

program="$tmp/program"
home="$tmp/home"
mkdir -p "$program" "$home"
cp "$build/bin/ambience-cli" "$build/bin/ambience-gallery.zip" "$build/bin/ambience-lines.zip" "$program/"
chmod -R a+rX,go-w "$program"
if [ "$(id -u)" = 0 ]; then
    chown -R nobody "$home"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
else
    chmod a-w "$program" # an ordinary user running the tests: take the right away
    as_user=()
fi

cli() {
    "${as_user[@]}" env -i PATH=/usr/bin:/bin HOME="$home" XDG_DATA_HOME="$home/.local/share" \
        XDG_CONFIG_HOME="$home/.config" QT_QPA_PLATFORM=offscreen "$program/ambience-cli" "$@" </dev/null
}

# A pack of one picture under the file name $1 with the display name $2.
make_pack() {
    python3 - "$1" "$2" "$build/bin/ambience-gallery.zip" <<'PY'
import sys, zipfile
target, name, sample = sys.argv[1:4]
with zipfile.ZipFile(sample) as z:
    jpg = next(n for n in z.namelist() if n.lower().endswith('.jpg'))
    data = z.read(jpg)
with zipfile.ZipFile(target, 'w') as z:
    z.writestr('1 - 2001 - Mine - Me.jpg', data)
    z.comment = ('[Pack]\r\nName=%s\r\nIcon=1\r\n' % name).encode()
PY
    chmod a+r "$1"
}

out=$(cli packs 2>&1)
check "bundled packs listed" grep -q "ambience-gallery.zip" <<<"$out"
gallery=$(awk '/ambience-gallery.zip/ {print $1}' <<<"$out")

mkdir -p "$tmp/downloads" && chmod 755 "$tmp/downloads"
make_pack "$tmp/downloads/my-art.zip" "My Art"
out=$(cli install "$tmp/downloads/my-art.zip" 2>&1)
check "install as the user" test -f "$home/.local/share/Ambience/Packs/my-art.zip"
check "nothing written to the program folder" test ! -e "$program/my-art.zip"
check "installed pack listed" grep -q "My Art" <<<"$(cli packs)"

out=$(cli remove --yes "My Art" 2>&1)
check "remove the user's pack" test ! -e "$home/.local/share/Ambience/Packs/my-art.zip"

out=$(cli remove --yes ambience-gallery.zip 2>&1)
rc=$?
check "removing a bundled pack fails" test "$rc" != 0
check "refusal says why: $out" grep -q "belongs to the installation; it cannot be removed by you" <<<"$out"
check "bundled pack kept" test -f "$program/ambience-gallery.zip"
check "bundled pack still listed" grep -q "ambience-gallery.zip" <<<"$(cli packs)"

make_pack "$tmp/downloads/ambience-gallery.zip" "My Gallery"
cli install "$tmp/downloads/ambience-gallery.zip" >/dev/null 2>&1
out=$(cli packs)
check "the user's copy takes the bundled one's place" grep -q "My Gallery" <<<"$out"
check "listed once" test "$(grep -c "ambience-gallery.zip" <<<"$out")" = 1
cli remove --yes "My Gallery" >/dev/null 2>&1
out=$(cli packs)
check "removing the copy brings the bundled pack back" grep -q "^$gallery .*$program/ambience-gallery.zip" <<<"$out"

# Packs the catalogue leaves out are named with the reason; an unreadable packs
# folder is an error, not "no packs".
packs="$home/.local/share/Ambience/Packs"
make_pack "$packs/locked.zip" "Locked"
chown nobody "$packs/locked.zip" 2>/dev/null
chmod 000 "$packs/locked.zip"
head -c 3000 "$build/bin/ambience-gallery.zip" >"$packs/broken.zip"
chmod a+r "$packs/broken.zip"
out=$(cli packs 2>&1)
rc=$?
check "packs still lists the others" test "$rc" = 0
check "an unreadable pack is named: $out" grep -q "left out $packs/locked.zip: unreadable" <<<"$out"
check "a damaged pack is named" grep -q "left out $packs/broken.zip: damaged" <<<"$out"
rm -f "$packs/locked.zip" "$packs/broken.zip"

chmod 000 "$packs"
for command in packs "refresh --local --size 320x200"; do
    out=$(cli $command 2>&1)
    rc=$?
    check "$command fails on an unreadable packs folder (exit $rc)" test "$rc" = 1
    check "$command names the folder: $out" grep -q "cannot read the packs folder $packs" <<<"$out"
done
make_pack "$tmp/downloads/later.zip" "Later"
out=$(cli install "$tmp/downloads/later.zip" 2>&1)
rc=$?
check "install into an unreadable packs folder does not claim success (exit $rc)" test "$rc" = 1
chmod 755 "$packs"

echo "$failures failure(s)"
[ "$failures" = 0 ]
