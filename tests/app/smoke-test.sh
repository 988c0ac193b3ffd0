#!/usr/bin/env bash
# Smoke test of the real program on a virtual X display (Xvfb, Qt's xcb
# platform): starts varnotek, builds the patch of "the road of one edit"
# (an OSC wired into an OUT) with real clicks and key presses, checks the
# screenshot's pixels and ends the program with File > Exit.
#
#   smoke-test.sh PROGRAM [SCREENSHOT.png]
set -euo pipefail

if [ "${1:-}" != "--inside" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside "$@"
fi
shift
program=$1
screenshot=${2:-$(mktemp --suffix=.png)}
client_height=554

fail() { echo "smoke test: $*" >&2; exit 1; }

QT_QPA_PLATFORM=xcb "$program" >"$screenshot.log" 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

# Without a sound device the program first says so in a box named "Error",
# once; the main window comes after it.
window=""
boxes=0
for _ in $(seq 100); do
  if box=$(xdotool search --onlyvisible --name '^Error$' 2>/dev/null | head -1) && [ -n "$box" ]; then
    boxes=$((boxes + 1))
    xdotool windowfocus --sync "$box" key Return
    sleep 0.3
  fi
  window=$(xdotool search --onlyvisible --name '^Varnotek 1\.01 - ' 2>/dev/null | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "no main window"
[ "$boxes" -le 1 ] || fail "$boxes start-up message boxes"

eval "$(xdotool getwindowgeometry --shell "$window")"
left=$X
top=$((Y + HEIGHT - client_height))  # the client area starts below the menu bar
xdotool windowfocus --sync "$window"

click() { xdotool mousemove --sync $((left + $1)) $((top + $2)) click 1; sleep 0.1; }
keys() { xdotool key --delay 20 "$@"; sleep 0.1; }
right10=(Right Right Right Right Right Right Right Right Right Right)
left10=(Left Left Left Left Left Left Left Left Left Left)

click 676 56          # the OSC button, with the cursor at (0, 0)
keys "${right10[@]}"  # to (10, 0)
click 756 376         # the OUT button
keys "${left10[@]}" 1 # on the OSC: output 0 is the wire source
keys "${right10[@]}" 8  # on the OUT: wire it into input 2
sleep 0.3

import -window root "$screenshot"
pixel() { convert "$screenshot" -format '%[hex:p{'$((left + $1))','$((top + $2))'}]' info: | cut -c1-6; }
expect() {
  local seen
  seen=$(pixel "$1" "$2")
  [ "$seen" = "$3" ] || fail "pixel ($1, $2) is $seen, not $3 ($4)"
}
expect 18 27 C0C0C0 "the OSC's body, not selected"
expect 178 27 FFFFFF "the OUT's body, selected"
expect 59 22 000000 "the OSC's output 0, the chosen wire source"
expect 16 16 000000 "the OSC's frame"
expect 100 100 C0C0C0 "the grid"
# The wire into the selected OUT, from (174, 41) to (64, 23), is green.
green=0
for y in 31 32 33; do [ "$(pixel 119 $y)" = "80FF40" ] && green=1; done
[ "$green" = 1 ] || fail "no green wire at x 119"

keys alt+f
keys x                # E&xit program
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "File > Exit did not end the program"
wait "$pid" || fail "the program ended with status $?"
trap - EXIT
echo "smoke test passed: $screenshot"
