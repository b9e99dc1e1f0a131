#!/usr/bin/env bash
# Checks that the shipped build is reproducible: two clean clones of the
# current commit, in different temporary folders, built one after the other,
# must give byte-identical dist/Tessaly.exe, dist/pixkit.dll and zip.
# Uncommitted changes are not part of it. Prints the files' SHA-256 sums;
# exits 1 and keeps both clones when they differ.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$root" rev-parse HEAD)
work=$(mktemp -d)

build() {   # clone the commit into $1, build the shipped files, print their sums
  git clone -q --no-checkout "$root" "$1"
  git -C "$1" checkout -q "$commit"
  (cd "$1" && cmake --preset win32 >/dev/null && cmake --build --preset win32 --target dist >/dev/null)
  (cd "$1/dist" && sha256sum Tessaly.exe pixkit.dll Tessaly-*.zip)
}

# Folders of different lengths, so that a path left in a file moves its bytes.
build "$work/first" > "$work/first.sha256"
build "$work/second-clone" > "$work/second.sha256"
for build in first second; do echo "$build build:"; cat "$work/$build.sha256"; done
if cmp -s "$work/first.sha256" "$work/second.sha256"; then
  echo "reproducible: two builds of $commit give the same bytes"
  rm -rf "$work"
else
  echo "NOT reproducible: the builds of $commit differ; both are kept in $work" >&2
  exit 1
fi
