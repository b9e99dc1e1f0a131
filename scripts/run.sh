#!/bin/bash
# Builds Tessaly and shows it under 32-bit Wine: starts the shipped
# dist/Tessaly.exe on $DISPLAY (or on a virtual display of its own), waits
# until the first check run is done, saves a screenshot and closes the
# program. Where the kernel runs no 32-bit code, Wine runs through qemu-i386
# (scripts/i386-userns.sh).
#
#   scripts/run.sh [--lang ja|en] [--dpi 96..480] [--out FILE] [--keep]
#
#   --lang       Japanese mode (LC_ALL=ja_JP.UTF-8, the default) or English mode
#   --dpi        the prefix's logical DPI (HKCU\Control Panel\Desktop LogPixels)
#   --out        screenshot file, build/screenshot.png by default
#   --keep       leave the program running after the screenshot
set -euo pipefail
usage="usage: scripts/run.sh [--lang ja|en] [--dpi 96..480] [--out FILE] [--keep]"
lang=ja dpi=96 out= keep=0
while [ $# -gt 0 ]; do
  case $1 in
    --lang) [ $# -ge 2 ] && [[ $2 == ja || $2 == en ]] || { echo "$usage" >&2; exit 2; }; lang=$2; shift 2 ;;
    --dpi) [ $# -ge 2 ] && [[ $2 =~ ^[0-9]{2,3}$ ]] && [ "$2" -ge 96 ] && [ "$2" -le 480 ] ||
             { echo "$usage" >&2; exit 2; }; dpi=$2; shift 2 ;;
    --out) [ $# -ge 2 ] && [ -n "$2" ] || { echo "$usage" >&2; exit 2; }; out=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
done
# A step that fails says so; a command that fails outside those steps is
# named with its line, so the script never ends without a word.
step=starting
trap 'echo "run.sh: failed while $step (line $LINENO: $BASH_COMMAND)" >&2' ERR
trap 'echo "run.sh: interrupted while $step" >&2; exit 130' INT
trap 'echo "run.sh: ended while $step" >&2; exit 143' TERM
fail() { echo "run.sh: $*" >&2; exit 1; }

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# First: common.sh picks the route by whether wine32 starts, so Wine must
# be installed by then.
step="installing what it needs"
"$here/install-deps.sh"
source "$here/common.sh"
out=${out:-$root/build/screenshot.png}
export WINEPREFIX=${TESSALY_WINEPREFIX:-$root/build/wineprefix-run}
wine=("${in_i386[@]}" /usr/lib/wine/wine)

# The trap is set before the log folder is made, so that a failed build or
# a Ctrl-C while building removes it too.
xvfb_pid= logs=
cleanup() {
  [ -n "${app_pid:-}" ] && [ "$keep" = 0 ] && kill "$app_pid" 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then
    timeout 15 wineserver -w 2>/dev/null || true   # Wine's own processes leave the display first
    kill "$xvfb_pid" 2>/dev/null || true
  fi
  [ -z "$logs" ] || rm -rf "$logs"
}
trap cleanup EXIT
logs=$(mktemp -d)

step="building"
build_preset win32 >"$logs/build" 2>&1 ||
  { tail -n 20 "$logs/build" >&2; fail "the build failed (cmake --preset win32, then --build; its last lines are above)"; }
exe=$root/dist/Tessaly.exe
driver=$root/build/win32/checker/tests/e2e/tessaly_e2e_driver.exe

# A virtual display when there is none.
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 120); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi

step="making the Wine prefix $WINEPREFIX"
LC_ALL=C.UTF-8 "$here/make-wine-prefix.sh" "${wine[@]}" >/dev/null || exit 1   # it says why
reg() {
  LC_ALL=C.UTF-8 "${wine[@]}" reg "$@" >/dev/null 2>"$logs/wine" ||
    fail "Wine's reg add $2 /v $4 failed: $(last_words "$logs/wine")"
}
step="setting the fonts and the DPI"
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
timeout 60 wineserver -w || fail "Wine's server did not end within 60 s after the settings were written"

case $lang in
  ja) export LC_ALL=ja_JP.UTF-8 ;;
  *)  export LC_ALL=C.UTF-8 ;;
esac
step="starting Tessaly"
"${wine[@]}" "$exe" 2>"$logs/wine" &
app_pid=$!
step="waiting for the first check run"
"${wine[@]}" "$driver" wait-first-run >"$logs/driver" 2>&1 ||
  fail "waiting for Tessaly's first check run failed: $(last_words "$logs/driver"); Tessaly: $(last_words "$logs/wine")"
sleep 1   # let the last paint settle
step="taking the screenshot"
mkdir -p "$(dirname "$out")"
if command -v import >/dev/null; then
  import -window root "$out"
else
  xwd -root -silent | convert xwd:- "$out"
fi
echo "screenshot: $out"
if [ "$keep" = 1 ]; then
  rm -rf "$logs"   # the program and its display stay; its logs go
  trap - EXIT
  echo "Tessaly is running (pid $app_pid)"
else
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
fi
