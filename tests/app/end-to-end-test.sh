#!/usr/bin/env bash
# End to end on a virtual X display (Xvfb, Qt's xcb platform): starts the
# program on an example patch given on the command line, opens the drum
# window, sets a step with a click, saves with File > Save Patch As through
# the real file dialog typed into, and compares the saved file with the
# example changed by that one step. Ends with File > Exit, the drum window
# still open.
#
#   end-to-end-test.sh PROGRAM EXAMPLE.pch
set -euo pipefail
if [ "${1:-}" != "--inside" ]; then exec "$(dirname "$0")/on-xvfb.sh" "$0" --inside "$@"; fi
program=$2
example=$3
work=$(mktemp -d)
fail() { echo "end-to-end test: $*" >&2; [ -s "$work/log" ] && sed "s/^/  program: /" "$work/log" >&2; exit 1; }
cp "$example" "$work/drums.pch"

# More than one patch is refused with the usage line and status 2.
status=0
QT_QPA_PLATFORM=xcb "$program" "$work/drums.pch" "$work/drums.pch" 2>"$work/usage" || status=$?
[ "$status" -eq 2 ] && grep -qx 'Usage: varnotek \[PATCH.pch\]' "$work/usage" || fail "two patches: status $status, $(cat "$work/usage")"

QT_QPA_PLATFORM=xcb "$program" "$work/drums.pch" >"$work/log" 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT

# Without a sound device a box named "Error" says so before the main window.
# Waits are bounded in seconds, not in tries: on a loaded machine each try
# (an xdotool search) can take a good part of a second.
find_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true; }
window_named() { found=$(find_window "$1"); [ -n "$found" ]; }
wait_for() {  # SECONDS COMMAND...
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do [ "$SECONDS" -lt "$deadline" ] || return 1; sleep 0.1; done
}
main_window_shown() {
  box=$(find_window '^Error$')
  if [ -n "$box" ]; then xdotool windowfocus --sync "$box" key Return; sleep 0.3; fi
  window_named '^Varnotek 1\.01 - www\.varnotek\.org - drums\.pch$'
}
window=""
wait_for 60 main_window_shown && window=$found
[ -n "$window" ] || fail "no main window titled with the patch's name"
eval "$(xdotool getwindowgeometry --shell "$window")"
top=$((Y + HEIGHT - 554))  # the client area, 554 high, starts below the menu bar
left=$X
xdotool windowfocus --sync "$window"
click() { xdotool mousemove --sync "$1" "$2" click 1; sleep 0.2; }

click $((left + 104)) $((top + 40))   # the DRM at (4, 0)
click $((left + 56)) $((top + 420))   # Edit / Show
wait_for 30 window_named '^Varnotek 1\.01 - EditWindow$' || fail "no drum window"
drums=$found
eval "$(xdotool getwindowgeometry --shell "$drums")"
click $((X + 24 + 8)) $((Y + 48 + 8))  # track 0, step 1: x 24, on the lower line

# The keys reach the main window: its menu, then the dialog's name field.
xdotool windowfocus --sync "$window" key --delay 50 alt+f a
wait_for 30 window_named '^Save As$' || fail "no Save As dialog"
sleep 0.3
xdotool type --delay 20 "$work/saved"
xdotool key Return
wait_for 30 test -f "$work/saved.pch" || fail "nothing saved as saved.pch (the extension is added)"

# The example with track 0, step 1 set, and the full path it was saved under.
sed -e 's/^TRACK 0,0 1,0,/TRACK 0,0 1,1,/' -e "s|^NAME .*|NAME $work/saved.pch|" "$example" >"$work/expected.pch"
diff "$work/expected.pch" "$work/saved.pch" >&2 || fail "the saved patch differs from the expected one"
cmp -s "$example" "$work/drums.pch" || fail "the opened file was changed"

xdotool windowfocus --sync "$window" key alt+f x
program_ended() { ! kill -0 "$pid" 2>/dev/null; }
wait_for 30 program_ended || fail "File > Exit did not end the program"
wait "$pid" || fail "the program ended with status $? (log: $(cat "$work/log"))"
echo "end-to-end test passed"
