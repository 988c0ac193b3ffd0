#!/usr/bin/env bash
# The Windows editor draws the patch grid as the Linux one does, pixel for
# pixel apart from text: compares the grid areas of the two programs'
# screenshots of the same patch (the road of one edit: an OSC at (0, 0)
# wired into the selected OUT at (10, 0)), with the modules' names masked,
# since the two platforms' fixed fonts differ.
#
#   compare-editors.sh LINUX.png WINDOWS.png
# Each screenshot has a SHOT.origin file beside it: the client area's place.
set -euo pipefail
fail() { echo "compare editors: $*" >&2; exit 1; }
for shot in "$1" "$2"; do [ -f "$shot" ] && [ -f "$shot.origin" ] || fail "no screenshot $shot with its origin"; done

# The grid, x 16..655 and y 16..399 of the client area, with a black box
# over each module's name (three characters centred at x 40 + 16c, from y 20).
grid() {
  read -r x y <"$1.origin"
  convert "$1" -crop "640x384+$((x + 16))+$((y + 16))" +repage -fill black \
    -draw "rectangle 4,4 43,21" -draw "rectangle 164,4 203,21" "$2"
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
grid "$1" "$work/linux.png"
grid "$2" "$work/windows.png"
differing=$(compare -metric AE "$work/linux.png" "$work/windows.png" "$work/difference.png" 2>&1 || true)
[ "$differing" = 0 ] || fail "$differing pixels of the grid differ (see $work/difference.png)"
echo "the grids match"
