#!/usr/bin/env bash
# Runs the README's test command as a newcomer on a fresh Debian 12 or 13
# would: makes a new root of that release with mmdebstrap (apt, git and
# certificates, as a minimal install has), puts a clean clone of a commit in
# it, runs scripts/test.sh there, which installs everything else itself, and
# prints each suite's counts. Uncommitted changes are not part of it.
#
# The root is entered with bubblewrap, not chroot: bubblewrap pivots into
# the root inside a mount namespace of its own, and a process there may
# still make user namespaces (a chrooted process may not), which the
# emulated route (scripts/i386-userns.sh) needs on a kernel with IA-32
# emulation off. The namespace's mounts go with its last process; the
# root's folder is removed on every exit, Ctrl-C included.
#
#   scripts/test-fresh-root.sh 12|13 [COMMIT]   (COMMIT: HEAD by default)
#
# Downloaded packages are kept in $TESSALY_FRESH_ROOT_CACHE
# (/var/cache/tessaly-debianN by default) for the next run; apt checks
# each against the release's signed lists, as on a fresh machine.
set -euo pipefail
usage="usage: scripts/test-fresh-root.sh 12|13 [COMMIT]"
case ${1:-} in
  12) suite=bookworm ;;
  13) suite=trixie ;;
  *) echo "$usage" >&2; exit 2 ;;
esac
release=$1 rev=${2:-HEAD}
[ $# -le 2 ] || { echo "$usage" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
"$here/install-deps.sh" mmdebstrap bubblewrap curl
source "$here/common.sh"
commit=$(git -C "$root" rev-parse --verify --quiet "$rev^{commit}") ||
  { echo "test-fresh-root.sh: '$rev' is not a commit of $root" >&2; exit 2; }
name="Debian $release"

cache=${TESSALY_FRESH_ROOT_CACHE:-/var/cache/tessaly-debian$release}
mkdir -p "$cache"
work=
sandbox=
cleanup() {
  if [ -n "$sandbox" ]; then
    kill "$sandbox" 2>/dev/null || true   # its PID namespace, and all in it, ends with it
    wait "$sandbox" 2>/dev/null || true
  fi
  [ -n "$work" ] || return 0
  # Whatever is still mounted below the root (an interrupted mmdebstrap),
  # deepest first; then the folder, never crossing into a mount.
  awk -v w="$work/" 'index($5, w) == 1 {print $5}' /proc/self/mountinfo | sort -r |
    while read -r m; do umount -l "$m" 2>/dev/null || true; done
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
work=$(mktemp -d "/var/tmp/tessaly-debian$release.XXXXXX")

# The suites a stable release's fresh install has. A mirror in the middle of
# a sync may serve a suite's package list at another size than its signed
# InRelease gives; apt then refuses that list, and a fresh install could
# not take i386 packages of that suite. Such a suite is left out, loudly:
# the run still proves the release, without that suite's latest updates.
suites=()
for line in "debian $suite" "debian $suite-updates" "debian-security $suite-security"; do
  set -- $line
  base=http://deb.debian.org/$1
  bad=
  for arch in amd64 i386; do
    list=main/binary-$arch/Packages.xz
    want=$(curl -fsS --retry 3 "$base/dists/$2/InRelease" |
             awk -v f="$list" '/^SHA256:/ {s = 1} s && $3 == f && !n++ {print $2}' || true)
    got=$(curl -fsSI --retry 3 "$base/dists/$2/$list" | tr -d '\r' | awk 'tolower($1) == "content-length:" {print $2}' || true)
    [ -n "$want" ] && [ "$want" != "$got" ] && bad="$bad $list is ${got:-?} bytes, its InRelease says $want;"
  done
  if [ -n "$bad" ] && [ "$2" = "$suite" ]; then
    echo "test-fresh-root.sh: the mirror of Debian $release itself is in the middle of a sync:$bad try again later" >&2
    exit 1
  elif [ -n "$bad" ]; then
    echo "== $name: leaving out $2, its mirror is in the middle of a sync:$bad"
  else
    suites+=("deb $base $2 main")
  fi
done

start=$SECONDS
echo "== $name: a fresh root (mmdebstrap $suite)"
mmdebstrap --quiet --variant=apt --include=git,ca-certificates "$suite" "$work/root" "${suites[@]}"
git clone --quiet --no-hardlinks --no-checkout "$root" "$work/root/src/tessaly"
git -C "$work/root/src/tessaly" checkout --quiet --detach "$commit"

: >"$work/log"   # there before tail follows it
echo "== $name: scripts/test.sh in a clean clone of $(git -C "$root" rev-parse --short "$commit")"
# A clean environment, as a new root login has; only the route choice and
# CI's own flag come along.
bwrap --bind "$work/root" / --dev /dev --proc /proc --ro-bind /sys /sys --perms 1777 --tmpfs /tmp --tmpfs /run \
  --ro-bind /etc/resolv.conf /etc/resolv.conf --bind "$cache" /var/cache/apt/archives \
  --unshare-pid --unshare-ipc --unshare-uts --hostname "debian$release" --die-with-parent --cap-add ALL \
  --chdir /src/tessaly \
  env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    TERM="${TERM:-dumb}" CI="${CI:-}" TESSALY_EMULATE_I386="${TESSALY_EMULATE_I386:-}" \
  scripts/test.sh > "$work/log" 2>&1 &
sandbox=$!
tail -n +1 -f --pid="$sandbox" "$work/log"
wait "$sandbox" && status=0 || status=$?
sandbox=
echo "== $name: took $((SECONDS - start)) s, the root made and every package installed"
grep -E '^(== |[0-9]+% tests passed|Windows tests took)' "$work/log" | sed "s/^/$name: /"
# All suites in one line: "N passed, N failed".
awk -v name="Debian$release" '
  /^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+/ {failed += $4; total += $NF}
  END {printf "%s: %d passed, %d failed\n", name, total - failed, failed}' "$work/log"
[ "$status" = 0 ] || echo "== $name: scripts/test.sh failed with status $status (its output is above)" >&2
exit "$status"
