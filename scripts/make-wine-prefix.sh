#!/bin/bash
# Makes the Wine prefix $WINEPREFIX, or brings an existing one up to date,
# with Wine's own UI fonts in its Fonts folder, as Windows has Tahoma there.
# Debian's Wine looks for them elsewhere than fonts-wine puts them, and
# without them its UI font falls back to a Japanese one, whose backslash is
# a yen sign, in English mode too. The fonts are linked on every run, so a
# prefix made before fonts-wine was installed gets them too.
#
# A prefix is whole or absent: a new one is made in a folder beside it and
# moved into place only once wineboot has finished there, so an interrupted
# first run leaves nothing half made, and the next run removes what it left
# (the folder holds this script's log from its first moment on). Only a
# prefix made here is ever removed: one that wineboot can no longer start is
# made again. A folder this script did not make (WINEPREFIX=~/.wine, or a
# prefix older than the mark) is kept: where Wine starts it gets the fonts
# and a mark of its own; where Wine does not, the script stops and says so.
# A failure is said in one line, with Wine's own words.
#   WINEPREFIX=DIR scripts/make-wine-prefix.sh WINE-COMMAND...
set -eu
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"   # last_words
prefix=${WINEPREFIX:?WINEPREFIX names the prefix to make}
prefix=${prefix%/}
done_mark=.tessaly-prefix-complete   # empty: made here; "adopted": made elsewhere
log_name=.tessaly-wineboot.log
fail() { echo "make-wine-prefix.sh: $*" >&2; exit 1; }

# A prefix's Wine server (and with it its programs) ended, then the folder.
remove_prefix() {
  WINEPREFIX=$1 timeout 10 wineserver -k 2>/dev/null || true
  rm -rf "$1"
}
# Wine's UI fonts linked into the prefix's Fonts folder, where no file of
# that name is yet: a font of the prefix's own is kept.
link_fonts() {
  local fonts=$1/drive_c/windows/Fonts font
  mkdir -p "$fonts"
  for font in /usr/share/wine/fonts/*.ttf; do
    [ -e "$font" ] || continue
    [ -e "$fonts/${font##*/}" ] || [ -L "$fonts/${font##*/}" ] || ln -s "$font" "$fonts/"
  done
}
wait_server() {   # wait_server PREFIX: its Wine server ends, within 60 s
  WINEPREFIX=$1 timeout 60 wineserver -w ||
    fail "Wine's server in $1 did not end within 60 s (wineserver -w)"
}

new= log=
cleanup() {
  [ -z "$new" ] || remove_prefix "$new"
  [ -z "$log" ] || rm -f "$log"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

[ ! -e "$prefix" ] || [ -d "$prefix" ] || fail "$prefix is there but is not a folder: name another WINEPREFIX"
mkdir -p "$(dirname "$prefix")"

# What a run killed outright left beside the prefix: a folder that holds
# this script's log, or one still empty.
for stale in "$prefix".new.??????; do
  if [ -e "$stale/$log_name" ]; then
    remove_prefix "$stale"
  elif [ -d "$stale" ]; then
    rmdir "$stale" 2>/dev/null || true
  fi
done

if [ -d "$prefix" ]; then
  log=$prefix/$log_name
  ours=0
  [ -e "$prefix/$done_mark" ] && [ ! -s "$prefix/$done_mark" ] && ours=1
  if "$@" wineboot -i 2>"$log"; then
    link_fonts "$prefix"
    wait_server "$prefix"
    if [ ! -e "$prefix/$done_mark" ]; then
      echo adopted >"$prefix/$done_mark"
      echo "make-wine-prefix.sh: $prefix was not made here; Wine starts there, so it keeps its files and got Wine's UI fonts" >&2
    fi
    exit 0
  fi
  [ "$ours" = 1 ] ||
    fail "Wine does not start in $prefix ($(last_words "$log")), which this script did not make, so it is left as it is; to make a new prefix there, remove it by hand (rm -rf '$prefix') and run again"
  echo "make-wine-prefix.sh: $prefix does not work (wineboot fails there: $(last_words "$log")); making it again" >&2
  log=
  remove_prefix "$prefix"
fi

new=$(mktemp -d "$prefix.new.XXXXXX")
log=$new/$log_name
: >"$log"
WINEPREFIX=$new
export WINEPREFIX
"$@" wineboot -i 2>"$log" || fail "wineboot could not make a prefix in $new: $(last_words "$log")"
link_fonts "$new"
wait_server "$new"
rm -f "$log"
log=
: >"$new/$done_mark"
mv -T "$new" "$prefix"
new=
