#!/bin/sh
# Stand-in for the desktop tools the wallpaper and shell code run (installed under
# each tool's name). Records every call in $STUB_LOG: the tool's name and its
# arguments separated by \037, each call ended by \036. Keeps gsettings and xfconf
# values in the folder $STUB_STATE, so reading a key back answers as the real tool
# would. Uses shell built-ins only: the tests' PATH holds nothing but the stand-ins.
name=${0##*/}

# Programs that only have to be running (xfdesktop, "pcmanfm --desktop") stay
# until the test closes their input; they are not recorded.
case "$name:$1" in
xfdesktop:*|hyprpaper:*|*:--desktop) read -r _; exit 0 ;;
esac

{
  printf '%s' "$name"
  for a in "$@"; do printf '\037%s' "$a"; done
  printf '\036'
} >>"$STUB_LOG"

# lookup KEY FILE: the last value stored for KEY in FILE (lines "KEY=VALUE").
lookup() {
  found=1
  [ -f "$2" ] || return 1
  while IFS= read -r line; do
    case "$line" in "$1="*) value=${line#"$1="}; found=0 ;; esac
  done <"$2"
  return $found
}

print_file() {
  [ -f "$1" ] || return 0
  while IFS= read -r line; do printf '%s\n' "$line"; done <"$1"
}

case "$name" in
gsettings)
  case "$1" in
  list-keys)
    [ -f "$STUB_STATE/schema-$2" ] || { echo "No such schema \"$2\"" >&2; exit 1; }
    print_file "$STUB_STATE/schema-$2" ;;
  set)
    # Without a settings daemon gsettings loses the value and still exits 0.
    [ -n "$STUB_LOSE_WRITES" ] && exit 0
    printf '%s=%s\n' "$2.$3" "$4" >>"$STUB_STATE/gsettings" ;;
  get)
    [ -f "$STUB_STATE/schema-$2" ] || { echo "No such schema \"$2\"" >&2; exit 1; }
    if lookup "$2.$3" "$STUB_STATE/gsettings"; then printf '%s\n' "$value"; else echo "''"; fi ;;
  esac ;;
xfconf-query)
  prop= newvalue= set_it= list=
  while [ $# -gt 0 ]; do
    case "$1" in
    -c|-t) shift 2 ;;
    -p) prop=$2; shift 2 ;;
    -s) newvalue=$2; set_it=1; shift 2 ;;
    -l) list=1; shift ;;
    *) shift ;;
    esac
  done
  if [ -n "$list" ]; then print_file "$STUB_STATE/xfconf-list"; exit 0; fi
  if [ -n "$set_it" ]; then
    [ -n "$STUB_LOSE_WRITES" ] && exit 0
    printf '%s=%s\n' "$prop" "$newvalue" >>"$STUB_STATE/xfconf"; exit 0
  fi
  if lookup "$prop" "$STUB_STATE/xfconf"; then printf '%s\n' "$value"; exit 0; fi
  echo "Property \"$prop\" does not exist on channel \"xfce4-desktop\"." >&2
  exit 1 ;;
pcmanfm-qt)
  # Stores the change in the profile's settings file, as the running desktop
  # does; like some versions, it takes no "zoom" and keeps the profile's mode
  # (a fresh profile's is "none": nothing shown). The profile folder is the
  # test's to make.
  profile=default file= mode=
  for a in "$@"; do
    case "$a" in
    --profile=*) profile=${a#--profile=} ;;
    --set-wallpaper=*) file=${a#--set-wallpaper=} ;;
    --wallpaper-mode=*) mode=${a#--wallpaper-mode=} ;;
    esac
  done
  conf="$XDG_CONFIG_HOME/pcmanfm-qt/$profile/settings.conf"
  old=none
  lookup WallpaperMode "$conf" && old=$value
  case "$mode" in color|stretch|fit|center|tile) ;; *) mode=$old ;; esac
  if [ -n "$file" ] && [ -d "${conf%/*}" ]; then
    printf '[Desktop]\nWallpaper=%s\nWallpaperMode=%s\n' "$file" "$mode" >"$conf"
  fi
  exit "${STUB_EXIT:-0}" ;;
swaybg)
  # Like swaybg: gone at once without a compositor, else it stays (until
  # SIGTERM, or 30 s, sleep being the one outside program it runs).
  [ -S "$XDG_RUNTIME_DIR/${WAYLAND_DISPLAY:-wayland-0}" ] || {
    echo "Unable to connect to the compositor" >&2; exit 1; }
  trap 'kill $! 2>/dev/null; exit 0' TERM
  /bin/sleep 30 &
  wait
  exit 0 ;;
hyprctl)
  echo ok
  exit "${STUB_EXIT:-0}" ;;
swww)
  [ "$1" = query ] && exit "${STUB_SWWW_QUERY_EXIT:-0}"
  exit 0 ;;
*)
  exit "${STUB_EXIT:-0}" ;;
esac
exit 0
