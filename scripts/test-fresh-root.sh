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

# The suites of a fresh install of the release, as mmdebstrap writes them
# by default (read from the root's sources.list by a setup hook that then
# stops it), each on the mirror this machine's own apt sources use for that
# archive: a company mirror or a caching proxy serves the root as it serves
# the machine. The machine runs another release than the root may, so its
# sources give only the mirrors (its own release's entry for the archive,
# its security suite's entry for security); the suites are the root's.
mmdebstrap --quiet --variant=apt --setup-hook='cat "$1/etc/apt/sources.list" >&3; exit 1' \
  "$suite" "$work/probe" 3>"$work/defaults" 2>"$work/probe.log" || true
[ -s "$work/defaults" ] ||
  { echo "test-fresh-root.sh: mmdebstrap gave no default sources for $suite: $(tail -n 1 "$work/probe.log")" >&2; exit 1; }
rm -rf --one-file-system "$work/probe"
host=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
own() {   # own RELEASE: the mirror of this machine's apt entry for RELEASE, if any
  [ -n "$host" ] || return 0
  apt-get indextargets --no-release-info --format '$(RELEASE) $(REPO_URI)' 2>/dev/null | awk -v r="$1" '$1 == r {print $2; exit}'
}
archive=$(own "$host") security=$(own "$host-security")

# A mirror in the middle of a sync may serve a suite's package list at
# another size than its signed InRelease gives; apt then refuses that list,
# and a fresh install could not take i386 packages of that suite. Such a
# suite is left out, loudly: the run still proves the release, without
# that suite's latest updates.
suites=() mirrors=()
while read -r -a entry; do
  # deb [OPTIONS] URI SUITE COMPONENT...: the options (a keyring) kept as
  # mmdebstrap wrote them.
  options=
  if [[ ${entry[1]} == \[* ]]; then options="${entry[1]} "; entry=(deb "${entry[@]:2}"); fi
  base=${entry[1]} dist=${entry[2]} components=${entry[*]:3}
  case $dist in
    *-security | */updates) base=${security:-$base} ;;
    *) base=${archive:-$base} ;;
  esac
  base=${base%/}
  bad=
  for arch in amd64 i386; do
    list=main/binary-$arch/Packages.xz
    want=$(curl -fsS --retry 3 "$base/dists/$dist/InRelease" |
             awk -v f="$list" '/^SHA256:/ {s = 1} s && $3 == f && !n++ {print $2}' || true)
    got=$(curl -fsSI --retry 3 "$base/dists/$dist/$list" | tr -d '\r' | awk 'tolower($1) == "content-length:" {print $2}' || true)
    [ -n "$want" ] && [ "$want" != "$got" ] && bad="$bad $list is ${got:-?} bytes, its InRelease says $want;"
  done
  if [ -n "$bad" ] && [ "$dist" = "$suite" ]; then
    echo "test-fresh-root.sh: the mirror of Debian $release itself is in the middle of a sync:$bad try again later" >&2
    exit 1
  elif [ -n "$bad" ]; then
    echo "== $name: leaving out $dist, its mirror is in the middle of a sync:$bad"
  else
    suites+=("deb $options$base $dist $components")
    mirrors+=("$base $dist")
  fi
done < <(grep '^deb ' "$work/defaults")

start=$SECONDS
from=$(printf '%s, ' "${mirrors[@]}")
echo "== $name: a fresh root (mmdebstrap $suite from ${from%, })"
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
# All suites in one line, "Debian N: N passed, N failed", which .ci/run adds up.
awk -v name="$name" '
  /^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+/ {failed += $4; total += $NF}
  END {printf "%s: %d passed, %d failed\n", name, total - failed, failed}' "$work/log"
[ "$status" = 0 ] || echo "== $name: scripts/test.sh failed with status $status (its output is above)" >&2
exit "$status"
