#!/bin/sh
# Makes the Wine prefix $WINEPREFIX, or brings an existing one up to date,
# with Wine's own UI fonts in its Fonts folder, as Windows has Tahoma there.
# Debian's Wine looks for them elsewhere than fonts-wine puts them, and
# without them its UI font falls back to a Japanese one, whose backslash is
# a yen sign, in English mode too.
#   WINEPREFIX=DIR scripts/make-wine-prefix.sh WINE-COMMAND...
set -eu
"$@" wineboot -i
fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
for font in /usr/share/wine/fonts/*.ttf; do
  [ -e "$font" ] && ln -sf "$font" "$fonts/"
done
timeout 60 wineserver -w
