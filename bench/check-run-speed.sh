#!/usr/bin/env bash
# How long Tessaly's check run takes under Wine against its own platform
# work (the probe and the file system), measured in the same runs: the
# first run and four refreshed ones over the e2e tests' seeded system
# folder, on a virtual display. Uses the 64-bit build.
#
#   bench/check-run-speed.sh [ja|en]     (Japanese mode by default)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mode=${1:-ja}
build=$root/build/win64
(cd "$root" && cmake --preset win64 >/dev/null && cmake --build --preset win64 -j "$(nproc)" >/dev/null)
e2e=$build/checker/tests/e2e
args=("$e2e/tessaly_e2e_driver.exe" "$build/checker/app/Tessaly.exe" "$build/fixtures"
      "$e2e/tessaly_e2e_marker.exe" "$e2e/wineprefix" /usr/lib/wine/wine64)
script=$root/checker/tests/e2e/run-e2e.sh
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c \
  'bash "$0" setup C "${@:2}" && bash "$0" measure-runs "$1" "${@:2}"' "$script" "$mode" "${args[@]}"
