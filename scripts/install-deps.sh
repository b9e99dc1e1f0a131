#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test the project:
# the i686 mingw-w64 cross compiler, 32-bit Wine, Xvfb, the ja_JP.UTF-8
# locale and fonts with Japanese glyphs; and, where 32-bit programs cannot
# start (a kernel with IA-32 emulation off), qemu's user-mode emulator from
# bookworm-backports. Safe to run again: it skips what is there.
#
#   scripts/install-deps.sh [PACKAGE...]   (also the packages named)
set -euo pipefail

have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
# Wait for another apt or dpkg run to finish rather than break its lock.
apt() { DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 "$@"; }
install_missing() {
  local need=()
  for p in "$@"; do have "$p" || need+=("$p"); done
  [ ${#need[@]} -eq 0 ] && return
  apt update -qq
  apt install -y -qq --no-install-recommends "${need[@]}"
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi

install_missing cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev \
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine32:i386 wine64 xvfb xauth x11-apps \
  imagemagick xdotool locales fonts-ipafont-gothic fonts-noto-cjk zip python3 "$@"

# Where 32-bit programs cannot start (or TESSALY_EMULATE_I386=1 asks for the
# emulated route), wine32 runs through qemu-i386 inside a private namespace
# (scripts/i386-userns.sh). qemu-user 10 from backports
# starts a 32-bit Wine process in seconds where bookworm's 7.2 takes a
# minute. Its qemu-i386 is static, and without qemu-user-binfmt nothing is
# registered machine-wide.
if [ "${TESSALY_EMULATE_I386:-}" = 1 ] || ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  if ! apt-get indextargets --format '$(RELEASE)' | grep -qx bookworm-backports; then
    # The machine's own Debian mirror, as its sources name it.
    mirror=$(apt-get indextargets --format '$(RELEASE) $(REPO_URI)' | awk '$1 == "bookworm" {print $2; exit}')
    [ -n "$mirror" ] || { echo "no Debian bookworm source found to add bookworm-backports beside" >&2; exit 1; }
    printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "$mirror" > /etc/apt/sources.list.d/bookworm-backports.sources
  fi
  # bookworm's qemu-user-static (7.2) would be upgraded to a transitional
  # package that pulls in qemu-user-binfmt and its machine-wide binfmt.d
  # files, so it goes first.
  old=$(dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null || true)
  if have qemu-user-static && dpkg --compare-versions "$old" lt 1:9; then
    echo "-- removing qemu-user-static $old: it registers foreign architectures machine-wide; qemu-user from bookworm-backports replaces it"
    apt purge -y -qq qemu-user-static
  fi
  version=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || true)
  if ! have qemu-user || dpkg --compare-versions "$version" lt 1:9; then
    apt update -qq
    apt install -y -qq --no-install-recommends -t bookworm-backports qemu-user
  fi
  if have qemu-user-binfmt; then
    echo "qemu-user-binfmt is installed: it registers foreign architectures machine-wide; remove it (apt-get purge qemu-user-binfmt)" >&2
    exit 1
  fi
fi

# Wine takes the code page and the country from the locale, so the Japanese
# locale must exist for the Japanese-mode runs.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
