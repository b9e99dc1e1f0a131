# Shared by the run and test scripts: where things are, which Windows build
# can run on this machine, and a Wine prefix owned by the project.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)

# The shipped build is 32-bit (preset win32) and runs under wine32. A kernel
# without IA-32 emulation cannot start wine32 at all; there the same sources,
# built for 64-bit Windows (preset win64), run under wine64 instead.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  win_preset=win32; wine_loader=/usr/lib/wine/wine
else
  win_preset=win64; wine_loader=/usr/lib/wine/wine64
fi

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko install prompts
export WINEPREFIX="$root/build/wineprefix-$win_preset"

build_preset() {   # configure and build one preset
  (cd "$root" && cmake --preset "$1" >/dev/null)
  cmake --build --preset "$1" -j "$jobs"
}

ensure_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$wine_loader" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
}
