#!/usr/bin/env bash
# How long Tessaly's check run takes under Wine against its own platform
# work (the probe and the file system), measured in the same runs: the
# first run and four refreshed ones over the e2e tests' seeded system
# folder, on a virtual display.
#
# It times the 64-bit build (preset win64) under 64-bit Wine: where the
# kernel runs no 32-bit code, the shipped 32-bit build runs only under
# qemu, whose cost would swamp what is timed here. No test uses that build.
#
#   bench/check-run-speed.sh [ja|en]     (Japanese mode by default)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mode=${1:-ja}
"$root/scripts/install-deps.sh" g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
build=$root/build/win64
(cd "$root" && cmake --preset win64 >/dev/null && cmake --build --preset win64 -j "$(nproc)" >/dev/null)
e2e=$build/checker/tests/e2e
export WINEPREFIX=$e2e/wineprefix WINEDEBUG=-all
[ -f "$WINEPREFIX/system.reg" ] || { /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1; wineserver -w; }
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$root/checker/tests/e2e/run-e2e.sh" measure-runs "$mode" \
  "$e2e/tessaly_e2e_driver.exe" "$build/checker/app/Tessaly.exe" "$build/fixtures" \
  "$e2e/tessaly_e2e_marker.exe" "$WINEPREFIX" /usr/lib/wine/wine64
