#!/usr/bin/env bash
# Runs the README's test command as a newcomer on a fresh Debian 13 would:
# makes a new trixie root with mmdebstrap (apt, git and certificates, as a
# minimal install has), puts a clean clone of HEAD in it, runs
# scripts/test.sh there, which installs everything else itself, and prints
# each suite's counts. Uncommitted changes are not part of it.
#
# The root is entered with bubblewrap, not chroot: bubblewrap pivots into
# the root inside a mount namespace of its own, and a process there may
# still make user namespaces (a chrooted process may not), which the
# emulated route (scripts/i386-userns.sh) needs on a kernel with IA-32
# emulation off. The namespace's mounts go with its last process; the
# root's folder is removed on every exit, Ctrl-C included.
#
#   scripts/test-debian13.sh
#
# Downloaded packages are kept in $TESSALY_DEBIAN13_CACHE
# (/var/cache/tessaly-debian13 by default) for the next run; apt checks
# each against the release's signed lists, as on a fresh machine.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/install-deps.sh" mmdebstrap bubblewrap
source "$here/common.sh"

cache=${TESSALY_DEBIAN13_CACHE:-/var/cache/tessaly-debian13}
mkdir -p "$cache"
work=$(mktemp -d /var/tmp/tessaly-debian13.XXXXXX)
sandbox=
cleanup() {
  if [ -n "$sandbox" ]; then
    kill "$sandbox" 2>/dev/null || true   # its PID namespace, and all in it, ends with it
    wait "$sandbox" 2>/dev/null || true
  fi
  # Whatever is still mounted below the root (an interrupted mmdebstrap),
  # deepest first; then the folder, never crossing into a mount.
  awk -v w="$work/" 'index($5, w) == 1 {print $5}' /proc/self/mountinfo | sort -r |
    while read -r m; do umount -l "$m" 2>/dev/null || true; done
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

start=$SECONDS
echo "== Debian 13: a fresh root (mmdebstrap)"
mmdebstrap --quiet --variant=apt --include=git,ca-certificates trixie "$work/root"
git clone --quiet --no-hardlinks "$root" "$work/root/src/tessaly"

: >"$work/log"   # there before tail follows it
echo "== Debian 13: scripts/test.sh in a clean clone of $(git -C "$root" rev-parse --short HEAD)"
# A clean environment, as a new root login has; only the route choice and
# CI's own flag come along.
bwrap --bind "$work/root" / --dev /dev --proc /proc --ro-bind /sys /sys --perms 1777 --tmpfs /tmp --tmpfs /run \
  --ro-bind /etc/resolv.conf /etc/resolv.conf --bind "$cache" /var/cache/apt/archives \
  --unshare-pid --unshare-ipc --unshare-uts --hostname debian13 --die-with-parent --cap-add ALL \
  --chdir /src/tessaly \
  env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    TERM="${TERM:-dumb}" CI="${CI:-}" TESSALY_EMULATE_I386="${TESSALY_EMULATE_I386:-}" \
  scripts/test.sh > "$work/log" 2>&1 &
sandbox=$!
tail -n +1 -f --pid="$sandbox" "$work/log"
wait "$sandbox" && status=0 || status=$?
sandbox=
echo "== Debian 13: took $((SECONDS - start)) s, the root made and every package installed"
grep -E '^(== |[0-9]+% tests passed|Windows tests took)' "$work/log" | sed 's/^/Debian 13: /'
# All suites in one line: "N passed, N failed".
awk '/^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+/ {failed += $4; total += $NF}
     END {printf "Debian13: %d passed, %d failed\n", total - failed, failed}' "$work/log"
exit "$status"
