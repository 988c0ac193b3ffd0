#!/usr/bin/env bash
# Smoke test of the real program on a virtual X display (Xvfb, Qt's xcb
# platform): builds the patch of "the road of one edit" (an OSC wired into an
# OUT) with real clicks and keys, checks the screenshot, ends with File > Exit.
#
#   smoke-test.sh PROGRAM [SCREENSHOT.png]
set -euo pipefail
if [ "${1:-}" != "--inside" ]; then exec "$(dirname "$0")/on-xvfb.sh" "$0" --inside "$@"; fi
program=$2
shot=${3:-$(mktemp --suffix=.png)}
fail() { echo "smoke test: $*" >&2; [ -s "$shot.log" ] && sed "s/^/  program: /" "$shot.log" >&2; exit 1; }

QT_QPA_PLATFORM=xcb "$program" >"$shot.log" 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
# Without a sound device a box named "Error" says so, once, before the main window.
# Waits are bounded in seconds, not in tries: on a loaded machine each try
# (an xdotool search) can take a good part of a second.
window="" boxes=0
deadline=$((SECONDS + 60))
while [ "$SECONDS" -lt "$deadline" ]; do
  box=$(xdotool search --onlyvisible --name '^Error$' 2>/dev/null | head -1 || true)
  if [ -n "$box" ]; then boxes=$((boxes + 1)); xdotool windowfocus --sync "$box" key Return; sleep 0.3; fi
  window=$(xdotool search --onlyvisible --name '^Varnotek 1\.01 - ' 2>/dev/null | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "no main window"
[ "$boxes" -le 1 ] || fail "$boxes start-up message boxes"
eval "$(xdotool getwindowgeometry --shell "$window")"
top=$((Y + HEIGHT - 554))  # the client area, 554 high, starts below the menu bar
xdotool windowfocus --sync "$window"

click() { xdotool mousemove --sync $((X + $1)) $((top + $2)) click 1; sleep 0.1; }
keys() { xdotool key --delay 20 "$@"; sleep 0.1; }
ten() { for _ in $(seq 10); do echo "$1"; done; }
click 676 56            # OSC, with the cursor at (0, 0)
keys $(ten Right)
click 756 376           # OUT at (10, 0)
keys $(ten Left) 1      # the OSC's output 0 is the wire source
keys $(ten Right) 8     # into the OUT's input 2
sleep 0.3

pixel() { convert "$shot" -format "%[hex:p{$((X + $1)),$((top + $2))}]" info: | cut -c1-6; }
# What the screen must show; a loaded machine may still be painting, so the
# screen is looked at again for up to 10 s.
check_screen() {
  [ "$(pixel 18 27)" = C0C0C0 ] || { why="the OSC's body, not selected: $(pixel 18 27)"; return 1; }
  [ "$(pixel 178 27)" = FFFFFF ] || { why="the OUT's body, selected: $(pixel 178 27)"; return 1; }
  [ "$(pixel 59 22)" = 000000 ] || { why="the OSC's output 0, the chosen source: $(pixel 59 22)"; return 1; }
  [ "$(pixel 100 100)" = C0C0C0 ] || { why="the grid: $(pixel 100 100)"; return 1; }
  # The wire into the selected OUT, from (174, 41) to (64, 23), is green.
  wire="$(pixel 119 31) $(pixel 119 32) $(pixel 119 33)"
  [[ "$wire" == *80FF40* ]] || { why="no green wire at x 119: $wire"; return 1; }
}
deadline=$((SECONDS + 10)) why="no screenshot"
until import -window root "$shot" && check_screen; do
  [ "$SECONDS" -lt "$deadline" ] || fail "$why"
  sleep 0.5
done
echo "$X $top" >"$shot.origin"  # where the client area is, for comparing with the Windows program

keys alt+f x            # E&xit program
deadline=$((SECONDS + 30))
while kill -0 "$pid" 2>/dev/null; do
  [ "$SECONDS" -lt "$deadline" ] || fail "File > Exit did not end the program"
  sleep 0.1
done
wait "$pid" || fail "the program ended with status $?"
trap - EXIT
echo "smoke test passed: $shot"
