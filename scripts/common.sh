# Shared by the run and test scripts: where things are, and how the shipped
# 32-bit Windows build runs on this machine.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko install prompts

# Where 32-bit programs start, wine32 runs directly. On a kernel with IA-32
# emulation off (or with TESSALY_EMULATE_I386=1) every Windows step runs
# inside scripts/i386-userns.sh, where qemu-i386 runs 32-bit code.
if [ "${TESSALY_EMULATE_I386:-}" != 1 ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  in_i386=()
else
  in_i386=("$root/scripts/i386-userns.sh")
fi

# Configures and builds one preset, and stops at the first step that fails:
# called in a condition (build_preset ... || ...) bash ignores set -e, and
# the old build would go on after a failed configure.
build_preset() {
  (cd "$root" && cmake --preset "$1" >/dev/null) || return
  cmake --build --preset "$1" -j "$jobs"
}

# The last line that is not blank of LOG, a program's output (Wine's
# standard error, say): its own words for why it failed.
last_words() { awk 'NF {last = $0} END {print last}' "$1"; }

# Ends the Wine servers of the given prefixes (and with them their
# programs): for traps on exit and Ctrl-C.
end_wine() {
  local prefix
  for prefix in "$@"; do
    # "wineserver -k" fails when no server is running: nothing to end then.
    if [ -d "$prefix" ]; then
      WINEPREFIX=$prefix timeout 10 wineserver -k 2>/dev/null || true
    fi
  done
  return 0
}
