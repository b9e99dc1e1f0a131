#!/usr/bin/env bash
# make-wine-prefix.sh given a folder it did not make (a user's ~/.wine as
# TESSALY_WINEPREFIX, say): every file of the user's stays as it was. Where
# Wine starts, the folder becomes a prefix with Wine's UI fonts and is
# marked; where it does not, the script says so in one line and changes
# nothing (a Wine command that fails stands for a Wine that refuses the
# folder, whatever the reason and whoever runs the test).
#   make-wine-prefix-test.sh WORK WINE-COMMAND...
set -uo pipefail
work=$1
shift
script=$(cd "$(dirname "$0")/.." && pwd)/make-wine-prefix.sh
rm -rf "$work" && mkdir -p "$work" || exit 1
failures=0

# case        Wine     exit  what it says (a part of its one line)
while read -r name wine want_exit want_said; do
  folder=$work/$name
  mkdir -p "$folder/drive_c/users/me"
  printf 'notes of the user\r\n' >"$folder/drive_c/users/me/notes.txt"
  before=$(cd "$folder" && sha256sum drive_c/users/me/notes.txt)
  command=("$@")
  [ "$wine" = starts ] || command=(bash -c 'echo "wine: cannot start in this folder" >&2; exit 1' wine)
  said=$(WINEPREFIX=$folder bash "$script" "${command[@]}" 2>&1)
  status=$?
  after=$(cd "$folder" 2>&1 && sha256sum drive_c/users/me/notes.txt 2>&1)
  problems=()
  [ "$status" = "$want_exit" ] || problems+=("exit $status, not $want_exit")
  [[ $said == *"$want_said"* ]] || problems+=("it did not say \"$want_said\"")
  [ "$after" = "$before" ] || problems+=("the user's file changed: $after")
  [ "$want_exit" != 0 ] || [ -e "$folder/drive_c/windows/Fonts/tahoma.ttf" ] || problems+=("no UI fonts")
  if [ ${#problems[@]} -eq 0 ]; then
    echo "ok   $name"
  else
    failures=$((failures + 1))
    printf 'FAIL %s: %s\n  it said: %s\n' "$name" "$(IFS=';'; echo "${problems[*]}")" "$said"
  fi
done <<'EOF'
wine-starts   starts   0  was not made here; Wine starts there, so it keeps its files
wine-refuses  refuses  1  (wine: cannot start in this folder), which this script did not make, so it is left as it is
EOF
rm -rf "$work"
[ "$failures" = 0 ]
