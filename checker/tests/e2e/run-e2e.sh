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

# Absolute Unix paths as Windows paths on Wine's Z: drive (the root). Done
# here rather than with winepath, which starts a Wine process of its own and
# now and then printed nothing while the server was restarting.
to_win() { local path; path=$(readlink -f "$1"); printf 'Z:%s' "${path//\//\\}"; }

# The scenario's display settings go into the prefix before its session
# starts: Wine reads the DPI (and perhaps the colours) once per session, as
# Windows needs a new sign-in after a change of DPI. So they are set in a
# session of their own, which then ends, and the scenario starts in a fresh
# one, with its own locale and nothing left of the last scenario. Nothing is
# left running when the scenario ends or is interrupted.
# "wineserver -k" fails when none runs: nothing to end then.
end_server() { timeout 10 wineserver -k 2>/dev/null; timeout 30 wineserver -w 2>/dev/null; true; }
reg_import() { timeout 20 "${wine[@]}" reg import "$(to_win "$1")" </dev/null >/dev/null 2>&1; }
colours_key='HKEY_CURRENT_USER\Control Panel\Colors'
# System colours by name, "R G B", as the scenario asks for them, one a line:
# TESSALY_E2E_COLOURS="ButtonFace=0 0 0,ButtonText=255 255 255", for one.
colours() { tr ',' '\n' <<<"$TESSALY_E2E_COLOURS"; }
# They stay in the prefix, so the key as it was is exported to this file
# (a .reg file, as Windows' reg writes it) and imported again when the
# scenario ends; a scenario killed before that leaves the file for the next.
# reg import merges, so each value the scenario adds that was not there is
# deleted by a second file ("Name"=-). After the restore the key is exported
# again and must equal the saved one.
saved_colours=$prefix/e2e-colours-before.reg
added_colours=$prefix/e2e-colours-added.reg
restored_colours=$prefix/e2e-colours-after.reg
restore_colours() {
  [ -f "$saved_colours" ] || return 0
  reg_import "$saved_colours" && { [ ! -f "$added_colours" ] || reg_import "$added_colours"; } || return 1
  timeout 20 "${wine[@]}" reg export "$colours_key" "$(to_win "$restored_colours")" /y </dev/null >/dev/null 2>&1
  if ! cmp -s "$saved_colours" "$restored_colours"; then
    echo "$colours_key differs after the restore from before the scenario:" >&2
    diff <(iconv -f UTF-16 -t UTF-8 "$saved_colours") <(iconv -f UTF-16 -t UTF-8 "$restored_colours" 2>&1) >&2
    return 1
  fi
  rm -f "$saved_colours" "$added_colours" "$restored_colours"
}
finish() {
  local status=$?
  end_server
  [ ! -f "$saved_colours" ] || { restore_colours || status=1; end_server; }
  exit $status
}
trap finish EXIT
trap 'exit 130' INT TERM
end_server
restore_colours || exit 1
# The logical DPI, 96 unless TESSALY_E2E_DPI asks for another: set by every
# scenario, since they share the prefix.
settings=$prefix/e2e-settings.reg
printf 'Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n' \
  "${TESSALY_E2E_DPI:-96}" >"$settings"
if [ -n "${TESSALY_E2E_COLOURS:-}" ]; then
  if ! timeout 20 "${wine[@]}" reg export "$colours_key" "$(to_win "$saved_colours")" /y </dev/null >/dev/null 2>&1; then
    echo "could not save $colours_key" >&2; exit 1
  fi
  printf '\n[%s]\n' "$colours_key" >>"$settings"
  colours | while IFS='=' read -r name value; do printf '"%s"="%s"\n' "$name" "$value"; done >>"$settings"
  before=$(iconv -f UTF-16 -t UTF-8 "$saved_colours")
  { printf 'Windows Registry Editor Version 5.00\n\n[%s]\n' "$colours_key"
    colours | while IFS='=' read -r name _; do
      grep -qF "\"$name\"=" <<<"$before" || printf '"%s"=-\n' "$name"
    done; } >"$added_colours"
fi
reg_import "$settings"
rm -f "$settings"
end_server
"${wine[@]}" "$driver" "$scenario" "$mode" "$(to_win "$app")" "$(to_win "$fixtures")" "$(to_win "$marker")"
