#!/usr/bin/env bash
# Makes before/after pictures of the four pixkit effects into docs/images/
# (effect-Shade.png, ...): a small synthetic test picture on the left, the
# result of the native pixdemo on the right, both enlarged so single pixels
# show. Needs ImageMagick's `convert`.
#
#   scripts/make-effect-pictures.sh        # uses build/native (built if missing)
#   PIXDEMO=path/to/pixdemo scripts/make-effect-pictures.sh
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
pixdemo=${PIXDEMO:-$root/build/native/bin/pixdemo}
out=$root/docs/images

if [ ! -x "$pixdemo" ]; then
  cmake --preset native -S "$root" >/dev/null
  cmake --build "$root/build/native" --target pixdemo pixkit
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Test picture: a colour gradient with hard edges (a disc, a bar, thin
# lines) and a fine checkerboard, so that softening and sharpening show.
convert -size 96x64 gradient:'#1d4e9e'-'#f2c14e' \
  -fill '#d7263d' -draw 'circle 28,32 28,12' \
  -fill white -draw 'rectangle 58,10 70,54' \
  -stroke black -draw 'line 0,63 95,40' -draw 'line 76,4 92,60' \
  \( -size 16x16 pattern:checkerboard -fill black -opaque '#999999' \) \
  -geometry +76+44 -composite \
  -type truecolor BMP3:"$work/input.bmp"

mkdir -p "$out"
make_picture() {   # name, then the effect and its parameters
  local name=$1; shift
  "$pixdemo" "$work/input.bmp" "$work/$name.bmp" "$@"
  convert "$work/input.bmp" "$work/$name.bmp" -bordercolor '#808080' -border 2 +append \
    -filter point -resize 400% "$out/effect-$name.png"
  echo "wrote docs/images/effect-$name.png"
}

make_picture Shade Shade
make_picture Sharp Sharp
make_picture AdjustTone AdjustTone 60 0 -60      # warmer: more red, less blue
make_picture GammaEffect GammaEffect 0.5 1 2     # red lifted, blue darkened
