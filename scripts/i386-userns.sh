#!/usr/bin/env bash
# Runs a command where 32-bit x86 Linux programs start, on a kernel that
# cannot run them itself (IA-32 emulation off): inside a private user and
# mount namespace whose own binfmt_misc hands i386 ELF files to qemu's
# user-mode emulator. Only this namespace sees the registration; nothing
# changes for the rest of the machine (binfmt_misc is per user namespace
# from Linux 6.7 on). The command itself runs as the calling user again, in
# a nested namespace, so Wine's socket folder (/tmp/.wine-<uid>) and its
# prefixes are the ones it uses outside.
#
#   scripts/i386-userns.sh COMMAND [ARG...]
set -euo pipefail

qemu=/usr/bin/qemu-i386
binfmt=/proc/sys/fs/binfmt_misc

if [ "${TESSALY_I386_USERNS:-}" != 1 ]; then
  [ -x "$qemu" ] || { echo "$qemu is missing: scripts/install-deps.sh installs it (qemu-user from bookworm-backports)" >&2; exit 1; }
  if ! unshare --user --map-root-user true 2>/dev/null; then
    echo "32-bit programs cannot start here, and emulating them needs unprivileged user namespaces: allow them (sysctl kernel.unprivileged_userns_clone=1 and user.max_user_namespaces > 0)" >&2
    exit 1
  fi
  if ! unshare --user --map-root-user --mount mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null; then
    echo "32-bit programs cannot start here, and emulating them needs binfmt_misc in a user namespace: Linux 6.7 or later (this is $(uname -r))" >&2
    exit 1
  fi
  TESSALY_I386_USERNS=1 exec unshare --user --map-root-user --mount "$0" "$(id -u)" "$(id -g)" "$@"
fi

uid=$1 gid=$2; shift 2
mount -t binfmt_misc binfmt_misc "$binfmt"
# ELF, 32-bit, little-endian, executable or shared object, machine i386.
# Flag F opens the interpreter now, so it is found from any mount namespace
# or root that a program later runs in.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
printf '%s' ":qemu-i386:M::$magic:$mask:$qemu:F" > "$binfmt/register"
# A call of this script from inside the command starts afresh.
unset TESSALY_I386_USERNS
exec unshare --user --map-user="$uid" --map-group="$gid" "$@"
