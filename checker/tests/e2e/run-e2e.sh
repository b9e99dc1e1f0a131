#!/bin/bash
# Runs one end-to-end scenario under Wine in the test's own prefix.
#   run-e2e.sh <scenario|setup> <ja|en|C> <driver> <Tessaly.exe> <fixtures> <marker> <prefix> <wine loader>
set -u
scenario=$1 mode=$2 driver=$3 app=$4 fixtures=$5 marker=$6 prefix=$7 loader=${8:-wine}
# riched32=n: the seeded RICHED32.DLL is read as the file it is, not as
# Wine's built-in DLL of that name (the programs here never load it).
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;riched32=n"
# A zone with daylight saving: the seeded files are dated in summer and in
# winter, and each date must show with the offset in force on it.
export TZ=Europe/Berlin
case $mode in
  ja) export LC_ALL=ja_JP.UTF-8 ;;
  en) export LC_ALL=C.UTF-8 ;;
  *)  export LC_ALL=C.UTF-8 ;;
esac
wineserver=$(dirname "$(readlink -f "$(command -v "$loader")")")/wineserver
[ -x "$wineserver" ] || wineserver=wineserver

if [ -z "${DISPLAY:-}" ]; then
  echo "no X display: run under xvfb-run" >&2
  exit 1
fi

if [ "$scenario" = setup ]; then
  if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$prefix"
    "$loader" wineboot -i >/dev/null 2>&1
    "$wineserver" -w
  fi
  [ -f "$prefix/system.reg" ] || { echo "cannot make the Wine prefix $prefix" >&2; exit 1; }
  exit 0
fi

# A fresh server: the locale of this scenario, nothing left of the last one.
"$wineserver" -k 2>/dev/null
"$wineserver" -w 2>/dev/null
# The scenario's logical DPI, 96 unless TESSALY_E2E_DPI asks for another:
# set by every scenario, since they share the prefix.
"$loader" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "${TESSALY_E2E_DPI:-96}" /f >/dev/null 2>&1
# Absolute Unix paths as Windows paths on Wine's Z: drive (the root). Done
# here rather than with winepath, which starts a Wine process of its own and
# now and then printed nothing while the server was restarting.
to_win() { local path; path=$(readlink -f "$1"); printf 'Z:%s' "${path//\//\\}"; }
"$loader" "$driver" "$scenario" "$mode" "$(to_win "$app")" "$(to_win "$fixtures")" "$(to_win "$marker")"
status=$?
"$wineserver" -k 2>/dev/null
exit $status
