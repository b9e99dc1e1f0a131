#!/usr/bin/env bash
# Builds everything and runs every test:
#   1. native (clang, AddressSanitizer + UndefinedBehaviorSanitizer): the
#      portable logic with GoogleTest, the demo host's checks, a short fuzz run;
#   2. the shipped 32-bit Windows build (dist/);
#   3. every Windows test on that build under 32-bit Wine on a virtual
#      display: the binary checks, the probe, real check runs, the window
#      driven through messages, the plug-in by name. Where the kernel runs no
#      32-bit code this step runs inside scripts/i386-userns.sh (qemu).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/install-deps.sh"
source "$here/common.sh"
cd "$root"
# Fails at once, with what is missing, where 32-bit programs cannot be run.
"${in_i386[@]}" true
# The toolchain of this run, from the installed packages.
version() { dpkg-query -W -f='${Version}' "$1"; }
echo "== Debian $(cat /etc/debian_version): clang $(version clang), mingw-w64 g++ $(version g++-mingw-w64-i686-posix)," \
     "binutils $(version binutils-mingw-w64-i686), Wine $(version wine32:i386)${in_i386:+, qemu-user $(version qemu-user)}"

echo "== native build and tests"
build_preset native
ctest --preset native -j "$jobs"

echo "== the shipped 32-bit Windows build"
build_preset win32
# The same sources give the same bytes with the same toolchain, so these
# tell the toolchain's bytes apart.
for file in dist/Tessaly.exe dist/pixkit.dll; do
  echo "== $file: $(stat -c %s "$file") bytes, SHA-256 $(sha256sum < "$file" | cut -d' ' -f1)"
done

echo "== Windows tests on the shipped build under 32-bit Wine${in_i386:+ (through qemu-i386)}"
trap 'end_wine build/win32/wineprefix build/win32/checker/tests/e2e/wineprefix' EXIT
trap 'exit 130' INT    # the exit trap ends the servers; the status tells the signal
trap 'exit 143' TERM
start=$SECONDS
xvfb-run -a -s "-screen 0 1280x1024x24" "${in_i386[@]}" ctest --preset win32
echo "Windows tests took $((SECONDS - start)) s"
