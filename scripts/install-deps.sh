#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test the project:
# the i686 mingw-w64 cross compiler, 32-bit Wine, qemu's user-mode emulator
# (for 32-bit code on a kernel without IA-32 emulation), Xvfb, the ja_JP.UTF-8 locale
# and fonts with Japanese glyphs. Safe to run again: it skips what is there.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi

for p in cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev \
         g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
         wine wine32:i386 wine64 qemu-user-static xvfb xauth x11-apps imagemagick xdotool \
         locales fonts-ipafont-gothic fonts-noto-cjk zip python3; do
  have "$p" || need+=("$p")
done

if [ ${#need[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  # Wait for another apt or dpkg run to finish rather than break its lock.
  lock_wait=(-o DPkg::Lock::Timeout=600)
  apt-get "${lock_wait[@]}" update -qq
  apt-get "${lock_wait[@]}" install -y -qq --no-install-recommends "${need[@]}"
fi

# Wine takes the code page and the country from the locale, so the Japanese
# locale must exist for the Japanese-mode runs.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
