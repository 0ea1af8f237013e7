#!/usr/bin/env bash
# Makes the desktop icons data/icons/hicolor/<size>/apps/haltwick.png from the game's own train
# picture: the locomotive rows of TrainA and a stretch of TrackA in gfx/train.cpp, drawn with
# Allegro's built-in font (the one the game uses) by scripts/make-icon.cpp, then framed and
# scaled with ImageMagick. Run it again after the train art changes and commit the PNGs.
# Needs: g++, pkg-config, liballegro4-dev, imagemagick. No display.
set -euo pipefail
cd "$(dirname "$0")/.."

columns=27        # the locomotive: TrainA's first 27 columns, coach left out
sizes=(16 24 32 48 64 128 256)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The string literals of one definition "NAME[] = ...;" in gfx/train.cpp, one per line, unescaped.
array_rows() {
  sed -n "/ $1\[\] =/,/;\$/p" gfx/train.cpp |
    sed -n 's/^ *"\(.*\)"[,;]\{0,1\} *$/\1/p' |
    sed 's/\\"/"/g; s/\\\\/\\/g'
}

array_rows TrainA | cut -c1-"$columns" >"$work/train.txt"
array_rows TrackA | tr -d '\n' | cut -c1-"$columns" >"$work/track.txt"
echo >>"$work/track.txt"
[ "$(wc -l <"$work/train.txt")" -ge 4 ] || { echo "make-icon: TrainA not found in gfx/train.cpp" >&2; exit 1; }
[ -n "$(tr -d ' \n' <"$work/track.txt")" ] || { echo "make-icon: TrackA not found in gfx/train.cpp" >&2; exit 1; }

# shellcheck disable=SC2046  # pkg-config prints several flags
g++ -std=c++17 -O1 -o "$work/render" scripts/make-icon.cpp $(pkg-config --cflags --libs allegro)
"$work/render" "$work/train.bmp" 230 230 230 <"$work/train.txt"
"$work/render" "$work/track.bmp" 214 128 48 <"$work/track.txt"

# Train over track on a dark rounded tile with the end screen's blue as its rim. Small sizes get
# the glyph strokes thickened first, so the train still reads after a fivefold shrink.
convert \( "$work/train.bmp" -transparent magenta \) \( "$work/track.bmp" -transparent magenta \) \
  -background none -gravity west -append -trim +repage "$work/art.png"
convert "$work/art.png" -background "#10141c" -flatten -morphology Dilate Disk:1 "$work/art-bold.png"
read -r w h < <(identify -format '%w %h\n' "$work/art.png")
side=$(( (w > h ? w : h) + 32 ))
tile() {
  convert -size "${side}x${side}" xc:none \
    -fill '#10141c' -stroke '#2f9ef9' -strokewidth 4 \
    -draw "roundrectangle 2,2 $((side - 3)),$((side - 3)) 20,20" \
    "$1" -gravity center -composite "$2"
}
tile "$work/art.png" "$work/tile.png"
tile "$work/art-bold.png" "$work/tile-bold.png"

for s in "${sizes[@]}"; do
  out="data/icons/hicolor/${s}x${s}/apps/haltwick.png"
  src="$work/tile.png"
  [ "$s" -lt 100 ] && src="$work/tile-bold.png"
  mkdir -p "$(dirname "$out")"
  convert "$src" -filter Box -resize "${s}x${s}" -depth 8 -strip \
    -define png:exclude-chunks=date,time "$out"
  echo "wrote $out"
done
