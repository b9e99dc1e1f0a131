#!/bin/bash
# Runs one end-to-end scenario under Wine in the test's own prefix.
#   run-e2e.sh <scenario> <ja|en> <driver> <Tessaly.exe> <fixtures> <marker> <prefix> <wine command...>
# The wine command is the loader, usually behind a time limit (timeout ... wine).
# Its steps' time limits add up to less than the test's TIMEOUT, and the
# driver's own waits end well within the limit on the wine command.
set -u
scenario=$1 mode=$2 driver=$3 app=$4 fixtures=$5 marker=$6 prefix=$7
wine=("${@:8}")
# riched32=n: the seeded RICHED32.DLL is read as the file it is, not as
# Wine's built-in DLL of that name (the programs here never load it).
# version=n,b: a version.dll beside a program comes first, as on Windows for
# a DLL that is not one of its KnownDLLs (Wine prefers its own otherwise).
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;riched32=n;version=n,b"
# A zone with daylight saving: the seeded files are dated in summer and in
# winter, and each date must show with the offset in force on it.
export TZ=Europe/Berlin
case $mode in
  ja) export LC_ALL=ja_JP.UTF-8 ;;
  *)  export LC_ALL=C.UTF-8 ;;
esac
# Under qemu-i386 (registered in binfmt_misc) every program takes longer:
# the driver scales its waits and pauses by this factor.
if [ -z "${TESSALY_WAIT_FACTOR:-}" ] && grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386; then
  export TESSALY_WAIT_FACTOR=3
fi
if [ -z "${DISPLAY:-}" ]; then
  echo "no X display: run under xvfb-run" >&2
  exit 1
fi

# A fresh server: the locale of this scenario, nothing left of the last one;
# and nothing left running when the scenario ends or is interrupted.
end_server() { timeout 10 wineserver -k 2>/dev/null || true; }   # fails when none runs
trap end_server EXIT
trap 'exit 130' INT TERM
end_server
timeout 30 wineserver -w 2>/dev/null
# The scenario's logical DPI, 96 unless TESSALY_E2E_DPI asks for another:
# set by every scenario, since they share the prefix.
timeout 60 "${wine[@]}" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "${TESSALY_E2E_DPI:-96}" /f >/dev/null 2>&1
# Absolute Unix paths as Windows paths on Wine's Z: drive (the root). Done
# here rather than with winepath, which starts a Wine process of its own and
# now and then printed nothing while the server was restarting.
to_win() { local path; path=$(readlink -f "$1"); printf 'Z:%s' "${path//\//\\}"; }
"${wine[@]}" "$driver" "$scenario" "$mode" "$(to_win "$app")" "$(to_win "$fixtures")" "$(to_win "$marker")"
