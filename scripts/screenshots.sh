#!/bin/sh
# Takes PNG screenshots of every screen of the built game from a real window: the end-to-end
# suite saves them while it checks them, ImageMagick turns them into docs/screenshots/*.png.
# Usage: scripts/screenshots.sh [build directory, default build]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" -j2 --target haltwick_e2e

shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
HALTWICK_SHOTS=$shots "$build/tests/e2e/haltwick_e2e" "$build/haltwick" \
    --gtest_filter='Screens.*:Rules.CtrlDown*:Rules.Escape*'

mkdir -p "$root/docs/screenshots"
for ppm in "$shots"/*.ppm; do
    convert "$ppm" "$root/docs/screenshots/$(basename "$ppm" .ppm).png"
done
ls "$root/docs/screenshots"
