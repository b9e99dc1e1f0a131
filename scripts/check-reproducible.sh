#!/usr/bin/env bash
# Checks that the shipped build is reproducible: a clean clone of the current
# commit and a tree unpacked from `git archive` of it (as packagers build,
# without .git), in different temporary folders, built one after the other,
# must give byte-identical dist/Tessaly.exe, dist/pixkit.dll and zip.
# Uncommitted changes are not part of it. Prints the files' SHA-256 sums;
# exits 1 and keeps both trees when they differ.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$root" rev-parse HEAD)
work=$(mktemp -d)

build() {   # build the shipped files in the tree $1, print their sums
  (cd "$1" && cmake --preset win32 >/dev/null && cmake --build --preset win32 --target dist >/dev/null)
  (cd "$1/dist" && sha256sum Tessaly.exe pixkit.dll Tessaly-*.zip)
}

# Folders of different lengths, so that a path left in a file moves its bytes.
git clone -q --no-checkout "$root" "$work/clone"
git -C "$work/clone" checkout -q "$commit"
build "$work/clone" > "$work/clone.sha256"
mkdir "$work/unpacked-archive"
git -C "$root" archive "$commit" | tar -x -C "$work/unpacked-archive"
build "$work/unpacked-archive" > "$work/archive.sha256"
for build in clone archive; do echo "$build build:"; cat "$work/$build.sha256"; done
if cmp -s "$work/clone.sha256" "$work/archive.sha256"; then
  echo "reproducible: a clone and an archive of $commit give the same bytes"
  rm -rf "$work"
else
  echo "NOT reproducible: the builds of $commit differ; both are kept in $work" >&2
  exit 1
fi
