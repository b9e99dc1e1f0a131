#!/usr/bin/env bash
# Installs what a fresh Debian 12 (bookworm) or 13 (trixie) amd64 machine
# lacks to build and test the project: the i686 mingw-w64 cross compiler,
# 32-bit Wine with its own UI fonts, Xvfb, the ja_JP.UTF-8 locale and fonts
# with Japanese glyphs, clang with its sanitizer run-times, the PE and DWARF
# readers and the disassembler of the binary check, the signing tools, the
# time zone data; and, where 32-bit programs cannot start (a kernel with
# IA-32 emulation off), qemu's user-mode emulator, version 9 or later. Safe
# to run again: it skips what is there.
#
#   scripts/install-deps.sh [PACKAGE...]   (also the packages named)
set -euo pipefail

# Only the releases and the architecture whose package names are known here:
# anything else stops before the first package is installed.
release=$(. /etc/os-release 2>/dev/null && echo "${ID:-}-${VERSION_CODENAME:-}")
case $release in
  debian-bookworm) qemu_suite=bookworm-backports ;;   # bookworm's own qemu is 7.2
  debian-trixie)   qemu_suite=trixie ;;
  *) echo "install-deps.sh knows Debian 12 (bookworm) and 13 (trixie); this is '${release}' (/etc/os-release): install by hand what it names" >&2
     exit 1 ;;
esac
arch=$(dpkg --print-architecture)
if [ "$arch" != amd64 ]; then
  echo "install-deps.sh needs an amd64 Debian (wine32 comes from its i386 architecture); this is $arch" >&2
  exit 1
fi

have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
# Wait for another apt or dpkg run to finish rather than break its lock.
apt() { DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 "$@"; }
# A mirror in the middle of a sync serves an index of the wrong size for a
# while: try again, then go on with the lists apt has (it says which index
# it skipped); a package that is then missing fails the install by name.
update_lists() {
  local try
  for try in 1 2 3; do
    apt update -qq && return 0
    [ "$try" = 3 ] || sleep 15
  done
  echo "install-deps.sh: apt-get update failed 3 times; going on with the package lists apt has" >&2
}
install_missing() {
  local need=()
  for p in "$@"; do have "$p" || need+=("$p"); done
  [ ${#need[@]} -eq 0 ] && return
  update_lists
  apt install -y -qq --no-install-recommends "${need[@]}"
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi

# Release-neutral names only: libclang-rt-dev is the sanitizer run-time of
# the release's default clang (14 on bookworm, 19 on trixie). fonts-wine is
# Wine's own UI fonts, only recommended by wine: without them Wine draws its
# UI in a Japanese font, whose backslash is a yen sign, in English mode too.
# tzdata: without it Wine takes every zone for UTC, and the audit's file
# times would be silently off by the zone's offset.
install_missing tzdata cmake ninja-build g++ clang libclang-rt-dev googletest libgtest-dev libbenchmark-dev \
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine32:i386 wine64 fonts-wine xvfb xauth x11-apps \
  imagemagick xdotool locales fonts-ipafont-gothic fonts-noto-cjk zip python3 python3-pefile python3-capstone python3-pyelftools \
  osslsigncode openssl "$@"

# Where 32-bit programs cannot start (or TESSALY_EMULATE_I386=1 asks for the
# emulated route), wine32 runs through qemu-i386 inside a private namespace
# (scripts/i386-userns.sh). qemu-user 9 or later: its qemu-i386 is static,
# and it starts a 32-bit Wine process in seconds where bookworm's 7.2 takes a
# minute. Without qemu-user-binfmt nothing is registered machine-wide.
if [ "${TESSALY_EMULATE_I386:-}" = 1 ] || ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  if ! apt-get indextargets --no-release-info --format '$(RELEASE)' | grep -qx "$qemu_suite"; then
    # bookworm-backports beside the machine's own Debian mirror, as its
    # sources name it.
    base=${qemu_suite%-backports}
    mirror=$(apt-get indextargets --no-release-info --format '$(RELEASE) $(REPO_URI)' | awk -v s="$base" '$1 == s {print $2; exit}')
    [ -n "$mirror" ] || { echo "no Debian $base source found to add $qemu_suite beside" >&2; exit 1; }
    printf 'Types: deb\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "$mirror" "$qemu_suite" > "/etc/apt/sources.list.d/$qemu_suite.sources"
  fi
  # bookworm's qemu-user-static (7.2) would be upgraded to a transitional
  # package that pulls in qemu-user-binfmt and its machine-wide binfmt.d
  # files, so it goes first.
  old=$(dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null || true)
  if have qemu-user-static && dpkg --compare-versions "$old" lt 1:9; then
    echo "-- removing qemu-user-static $old: it registers foreign architectures machine-wide; qemu-user from $qemu_suite replaces it"
    apt purge -y -qq qemu-user-static
  fi
  version=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || true)
  if ! have qemu-user || dpkg --compare-versions "$version" lt 1:9; then
    update_lists
    apt install -y -qq --no-install-recommends -t "$qemu_suite" qemu-user
  fi
  install_missing mount   # i386-userns.sh mounts binfmt_misc; a minimal root lacks it
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
