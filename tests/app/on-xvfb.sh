#!/usr/bin/env bash
# Runs a command on a virtual X display of its own. Xvfb chooses a free
# display number and writes it to us once it accepts connections (-displayfd),
# so nothing is guessed: no display number two runs could both take, no wait
# that a loaded machine could outlast, no cookie file to lock.
#
# One race remains when other X servers come and go beside us (test runs in
# other checkouts): a server that ends just as ours takes its number removes
# the socket file ours has made. The display is tried once before the command
# runs, and a display that cannot be reached is started again.
#
#   on-xvfb.sh COMMAND [ARGS...]
set -euo pipefail
work=$(mktemp -d)
xvfb=""
stop_xvfb() { [ -z "$xvfb" ] || { kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; }; xvfb=""; }
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb() {
  : >"$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb=$!
  for _ in $(seq 300); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb" 2>/dev/null || { echo "on-xvfb: Xvfb ended: $(cat "$work/xvfb.log")" >&2; exit 1; }
    sleep 0.1
  done
  [ -s "$work/display" ] || { echo "on-xvfb: Xvfb gave no display in 30 s" >&2; exit 1; }
  display=":$(head -1 "$work/display")"
}
for attempt in 1 2 3; do
  start_xvfb
  DISPLAY=$display xdotool getdisplaygeometry >/dev/null 2>&1 && break
  echo "on-xvfb: display $display cannot be reached (attempt $attempt)" >&2
  stop_xvfb
  [ "$attempt" -lt 3 ] || exit 1
done
status=0
DISPLAY=$display "$@" || status=$?
exit "$status"
