#!/bin/bash
# Builds Tessaly and shows it under 32-bit Wine: starts the shipped
# dist/Tessaly.exe on $DISPLAY (or on a virtual display of its own), waits
# until the first check run is done, saves a screenshot and closes the
# program. Where the kernel runs no 32-bit code, Wine runs through qemu-i386
# (scripts/i386-userns.sh).
#
#   scripts/run.sh [--lang ja|en] [--dpi 96|144] [--out FILE] [--keep]
#
#   --lang       Japanese mode (LC_ALL=ja_JP.UTF-8, the default) or English mode
#   --dpi        the prefix's logical DPI (HKCU\Control Panel\Desktop LogPixels)
#   --out        screenshot file, build/screenshot.png by default
#   --keep       leave the program running after the screenshot
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# First: common.sh picks the route by whether wine32 starts, so Wine must
# be installed by then.
"$here/install-deps.sh"
source "$here/common.sh"

lang=ja dpi=96 out=$root/build/screenshot.png keep=0
while [ $# -gt 0 ]; do
  case $1 in
    --lang) lang=$2; shift 2 ;;
    --dpi) dpi=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    *) echo "usage: $0 [--lang ja|en] [--dpi N] [--out FILE] [--keep]" >&2; exit 2 ;;
  esac
done
export WINEPREFIX=${TESSALY_WINEPREFIX:-$root/build/wineprefix-run}
wine=("${in_i386[@]}" /usr/lib/wine/wine)

build_preset win32 >/dev/null
exe=$root/dist/Tessaly.exe
driver=$root/build/win32/checker/tests/e2e/tessaly_e2e_driver.exe

# A virtual display when there is none.
xvfb_pid=
cleanup() {
  [ -n "${app_pid:-}" ] && [ "$keep" = 0 ] && kill "$app_pid" 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then
    timeout 15 wineserver -w 2>/dev/null || true   # Wine's own processes leave the display first
    kill "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 120); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi

LC_ALL=C.UTF-8 "$here/make-wine-prefix.sh" "${wine[@]}" >/dev/null 2>&1
reg() { LC_ALL=C.UTF-8 "${wine[@]}" reg "$@" >/dev/null 2>&1; }
# Japanese glyphs on a system without Windows' fonts: the fixed-pitch title
# font is replaced by IPA Gothic, the proportional Japanese UI fonts by IPA
# P Gothic (Wine links its UI fonts to "MS UI Gothic" for the characters
# that they lack).
for face in "ＭＳ ゴシック" "MS Gothic"; do
  reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAGothic /f
done
for face in "MS UI Gothic" "ＭＳ Ｐゴシック" "MS PGothic"; do
  reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAPGothic /f
done
reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f
timeout 60 wineserver -w

case $lang in
  ja) export LC_ALL=ja_JP.UTF-8 ;;
  *)  export LC_ALL=C.UTF-8 ;;
esac
"${wine[@]}" "$exe" &
app_pid=$!
"${wine[@]}" "$driver" wait-first-run
sleep 1   # let the last paint settle
mkdir -p "$(dirname "$out")"
if command -v import >/dev/null; then
  import -window root "$out"
else
  xwd -root -silent | convert xwd:- "$out"
fi
echo "screenshot: $out"
if [ "$keep" = 1 ]; then
  trap - EXIT
  echo "Tessaly is running (pid $app_pid)"
else
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
fi
