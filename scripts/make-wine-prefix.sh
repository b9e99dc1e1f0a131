#!/bin/sh
# Makes the Wine prefix $WINEPREFIX, or brings an existing one up to date,
# with Wine's own UI fonts in its Fonts folder, as Windows has Tahoma there.
# Debian's Wine looks for them elsewhere than fonts-wine puts them, and
# without them its UI font falls back to a Japanese one, whose backslash is
# a yen sign, in English mode too.
#
# A prefix is whole or absent: a new one is made in a folder beside it and
# moved into place only once wineboot has finished there, so an interrupted
# first run leaves nothing half made. An existing prefix that wineboot
# cannot start is made again. A failure is said in one line, with Wine's
# own words.
#   WINEPREFIX=DIR scripts/make-wine-prefix.sh WINE-COMMAND...
set -eu
prefix=${WINEPREFIX:?WINEPREFIX names the prefix to make}
prefix=${prefix%/}
done_mark=.tessaly-prefix-complete
fail() { echo "make-wine-prefix.sh: $*" >&2; exit 1; }
# The last line Wine wrote to standard error, to say why a step failed.
wine_said() { grep -v '^[[:space:]]*$' "$1" | tail -n 1; }

mkdir -p "$(dirname "$prefix")"
log=$(mktemp "$prefix.log.XXXXXX")
# A prefix's Wine server (and with it its programs) ended, then the folder.
remove_prefix() {
  WINEPREFIX=$1 timeout 10 wineserver -k 2>/dev/null || true
  rm -rf "$1"
}
new=
cleanup() {
  [ -z "$new" ] || remove_prefix "$new"
  rm -f "$log"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# What a run killed outright left beside the prefix.
for stale in "$prefix".new.*; do
  [ ! -d "$stale" ] || remove_prefix "$stale"
done

if [ -d "$prefix" ]; then
  if [ -e "$prefix/$done_mark" ] && "$@" wineboot -i 2>"$log" && timeout 60 wineserver -w; then
    exit 0
  fi
  if [ -e "$prefix/$done_mark" ]; then
    why="wineboot fails there: $(wine_said "$log")"
  else
    why="it was left half made"
  fi
  echo "make-wine-prefix.sh: $prefix does not work ($why); making it again" >&2
  remove_prefix "$prefix"
fi

new=$(mktemp -d "$prefix.new.XXXXXX")
WINEPREFIX=$new
export WINEPREFIX
"$@" wineboot -i 2>"$log" || fail "wineboot could not make a prefix in $new: $(wine_said "$log")"
fonts="$new/drive_c/windows/Fonts"
mkdir -p "$fonts"
for font in /usr/share/wine/fonts/*.ttf; do
  [ -e "$font" ] && ln -sf "$font" "$fonts/"
done
timeout 60 wineserver -w || fail "Wine's server in $new did not end within 60 s"
touch "$new/$done_mark"
mv -T "$new" "$prefix"
new=
