#!/usr/bin/env bash
# The Windows editor under Wine on a virtual X display, in a Wine desktop of
# its own, with no sound device: the start-up box says so once; the main
# window is 800 x 600 with its grid, dots and cursor square; the road of one
# edit (an OSC wired into an OUT) is built with real clicks and keys and
# checked in the pixels; a drum window opens and closes; File > Exit ends
# the program. A probe on the same desktop reads titles, texts and places.
#
#   windows-editor-test.sh VARNOTEK.EXE WINDOW-PROBE.EXE [SCREENSHOT.png]
set -euo pipefail
if [ "${1:-}" != "--inside" ]; then exec "$(dirname "$0")/../app/on-xvfb.sh" "$0" --inside "$@"; fi
program=$2
probe_program=$3
shot=${4:-$(mktemp --suffix=.png)}
work=$(mktemp -d)
desktop=varnotek-test-$$
fail() { echo "Windows editor test: $*" >&2; exit 1; }
export WINEDEBUG=-all

# No sound device: ALSA's default names a card that is not there, and no
# PulseAudio server can be reached.
echo 'pcm.!default { type hw card 31 }' >"$work/asound.conf"
export ALSA_CONFIG_PATH="$work/asound.conf" PULSE_SERVER="unix:$work/no-pulse"

wine explorer "/desktop=$desktop,1024x768" "$program" >"$work/log" 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
trap 'exit 1' TERM INT  # a test timeout still ends the program
probe() { timeout 20 wine explorer "/desktop=$desktop" "$probe_program" "$@" | tr -d '\r'; }
wait_for() {  # TITLE COUNT: within 20 seconds
  local until=$((SECONDS + 20))
  while [ $SECONDS -lt $until ]; do [ "$(probe count "$1")" = "$2" ] && return 0; sleep 0.1; done
  fail "not $2 windows titled '$1' but $(probe count "$1")"
}

# A probe started before the program's explorer has made the desktop would
# make the desktop itself, and take its X window along when it ends: every
# later window on that desktop then fails with BadWindow. So the first probe
# waits for the desktop's own X window.
timeout 60 xdotool search --sync --name "^$desktop - Wine desktop\$" >/dev/null ||
  fail "no Wine desktop '$desktop' on the display"

wait_for Error 1
probe texts Error | grep -qx 'waveOutOpen failed, check WAVE-Output settings' ||
  fail "the start-up box says: $(probe texts Error)"
xdotool key Return
title='Varnotek 1.01 - www.varnotek.org - new patch'
wait_for "$title" 1
sleep 0.5
[ "$(probe count Error)" = 0 ] || fail "a second box"
[ "$(probe outer "$title" | cut -d' ' -f3-)" = "800 600" ] || fail "main window $(probe outer "$title")"
read -r left top _ < <(probe client "$title")

pixel() { convert "$shot" -format "%[hex:p{$((left + $1)),$((top + $2))}]" info: | cut -c1-6; }
look() { sleep 0.3; import -window root "$shot"; }
# Wine may still be working through the input when we look: what is not
# yet as expected is looked at again, for up to 10 seconds.
eventually() {
  local until=$((SECONDS + 10))
  until "$@"; do [ $SECONDS -lt $until ] || return 1; look; done
}
is_pixel() { [ "$(pixel "$1" "$2")" = "$3" ]; }
expect() { eventually is_pixel "$1" "$2" "$3" || fail "pixel ($1, $2) is $(pixel "$1" "$2"), not $3: $4"; }
wire_drawn() { [[ "$(pixel 119 31) $(pixel 119 32) $(pixel 119 33)" == *80FF40* ]]; }
click() { xdotool mousemove --sync $((left + $1)) $((top + $2)) click 1; sleep 0.2; }
keys() { xdotool key --delay 30 "$@"; sleep 0.2; }
ten() { for _ in $(seq 10); do echo "$1"; done; }

look
expect 100 100 C0C0C0 "the grid"
expect 64 64 404040 "the dot of cell (3, 3)"
expect 17 17 FFFFFF "the cursor square"
expect 63 63 FFFFFF "the cursor square's last pixel"
expect 64 80 404040 "a dot beside the square"

click 676 56            # OSC, with the cursor at (0, 0)
keys $(ten Right)
click 756 376           # OUT at (10, 0)
keys $(ten Left) 1      # the OSC's output 0 is the wire source
keys $(ten Right) 8     # into the OUT's input 2
look
eventually wire_drawn || fail "no green wire at x 119: $(pixel 119 31) $(pixel 119 32) $(pixel 119 33)"
expect 18 27 C0C0C0 "the OSC's body, not selected"
expect 178 27 FFFFFF "the OUT's body, selected"
expect 59 22 000000 "the OSC's output 0, the chosen source"
echo "$left $top" >"$shot.origin"  # where the client area is, for comparing with the Linux program

edit='Varnotek 1.01 - EditWindow'
click 340 200           # a free cell
click 716 184           # DRM
click 56 420            # Edit / Show
wait_for "$edit" 1
[ "$(probe outer "$edit")" = "64 64 640 400" ] || fail "drum window at $(probe outer "$edit")"
[ "$(probe texts "$edit" | wc -l)" = 0 ] || fail "drum boxes with texts"
# Its close box, at the right end of the caption.
xdotool mousemove --sync $((64 + 640 - 14)) $((64 + 12)) click 1
wait_for "$edit" 0

keys alt+f x            # E&xit program
for _ in $(seq 100); do [ "$(probe count "$title")" = 0 ] && break; sleep 0.1; done
[ "$(probe count "$title")" = 0 ] || fail "File > Exit did not end the program"
echo "Windows editor test passed: $shot"
