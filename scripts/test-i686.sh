#!/usr/bin/env bash
# Runs the shipped 32-bit files themselves under 32-bit Wine:
#   - one test program (shipped_checks.exe) with the shipped pixkit.dll beside
#     it: the plug-in's exports against the native reference model's outputs,
#     through vantor.dll and through a host written in C, the probe on the
#     windres fixtures and a real check run;
#   - dist/Tessaly.exe, its first run in Japanese mode over a seeded system
#     folder, the report compared byte for byte by the (64-bit) e2e driver.
#
# On a kernel that cannot start 32-bit programs, scripts/test.sh calls this
# inside scripts/i386-userns.sh, where every 32-bit process runs under qemu
# and takes about a minute to start: hence two long-lived processes, run side
# by side in one prefix. Needs an X display, the win32 build (dist/ and
# build/win32) and the win64 build's e2e driver.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

wine32=/usr/lib/wine/wine
wine64=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
win32=$root/build/win32
driver=$root/build/win64/checker/tests/e2e/tessaly_e2e_driver.exe
stage=$root/build/i686-stage

# A 64-bit prefix whose 32-bit half (syswow64) is made by 32-bit programs, so
# it has to be made where they can start: here, not outside the namespace.
export WINEPREFIX=$root/build/wineprefix-i686
if [ ! -f "$WINEPREFIX/.made-with-i386" ]; then
  echo "-- making the Wine prefix (a few minutes under emulation)"
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$wine64" wineboot -i >/dev/null 2>&1 || true
  "$wineserver" -w
  [ -d "$WINEPREFIX/drive_c/windows/syswow64" ] || { echo "no syswow64 in the new prefix" >&2; exit 1; }
  touch "$WINEPREFIX/.made-with-i386"
fi

# The test program runs beside the shipped DLL, copied from dist/, and finds
# the probe's fixture files in ../fixtures.
rm -rf "$stage"
mkdir -p "$stage/bin"
cp "$win32/bin/shipped_checks.exe" "$win32/bin/vantor.dll" "$root/dist/pixkit.dll" "$stage/bin/"
cp -r "$win32/fixtures" "$stage/fixtures"

to_win() { local path; path=$(readlink -f "$1"); printf 'Z:%s' "${path//\//\\}"; }

# Japanese mode, Central European time: summer and winter dates both show.
# riched32=n: the seeded RICHED32.DLL is read as the file it is, not as
# Wine's built-in DLL of that name.
export LC_ALL=ja_JP.UTF-8 TZ=Europe/Berlin
export WINEDLLOVERRIDES="mscoree,mshtml=;riched32=n"
export TESSALY_EXPECT_COUNTRY=JAPAN
export PIXKIT_EXPECTED=$root/build/native/plugin/tests/pixkit_expected.bin
export TESSALY_E2E_SLOW=1

start=$SECONDS
(cd "$stage/bin" && "$wine32" shipped_checks.exe) > "$stage/shipped_checks.log" 2>&1 &
checks_pid=$!
"$wine64" "$driver" first-run ja "$(to_win "$root/dist/Tessaly.exe")" \
  "$(to_win "$root/build/win64/fixtures")" \
  "$(to_win "$root/build/win64/checker/tests/e2e/tessaly_e2e_marker.exe")" > "$stage/first_run.log" 2>&1 &
first_run_pid=$!

passed=0 failed=0
report() {   # name, exit status, log
  echo "-- $1 ($(( SECONDS - start )) s):"
  sed 's/^/   /' "$3"
  if [ "$2" = 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "   FAILED ($2)"; fi
}
status=0; wait "$checks_pid" || status=$?
report "shipped_checks.exe with dist/pixkit.dll" "$status" "$stage/shipped_checks.log"
status=0; wait "$first_run_pid" || status=$?
report "dist/Tessaly.exe, first run in Japanese mode" "$status" "$stage/first_run.log"
"$wineserver" -k 2>/dev/null || true

echo "i686: $passed passed, $failed failed"
[ "$failed" = 0 ]
