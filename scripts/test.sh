#!/usr/bin/env bash
# Builds everything and runs every test:
#   1. native (clang, AddressSanitizer + UndefinedBehaviorSanitizer): the
#      portable logic with GoogleTest, the demo host's checks, a short fuzz run;
#   2. the shipped 32-bit Windows build, and the checks of its binaries;
#   3. the Windows tests under Wine on a virtual display: the probe, real
#      check runs, the window driven through messages, the plug-in by name;
#   4. where 32-bit code cannot start natively, the shipped 32-bit files
#      themselves under 32-bit Wine through qemu (scripts/test-i686.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/install-deps.sh"
source "$here/common.sh"
cd "$root"

echo "== native build and tests"
build_preset native
ctest --preset native -j "$jobs"

echo "== shipped 32-bit Windows build"
build_preset win32
ctest --preset win32 -L static

if [ "$win_preset" != win32 ]; then
  echo "== 32-bit code cannot run on this kernel: Windows tests use the 64-bit build under wine64"
  build_preset win64
fi

echo "== Windows tests under Wine ($win_preset)"
ensure_wine_prefix
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset "$win_preset" -LE static

if [ "$win_preset" != win32 ]; then
  echo "== the shipped 32-bit files under 32-bit Wine through qemu"
  xvfb-run -a -s "-screen 0 1280x1024x24" "$here/i386-userns.sh" "$here/test-i686.sh"
fi
