#!/usr/bin/env bash
# Runs a command on a virtual X display of its own. Xvfb chooses a free
# display number and writes it to us once it accepts connections (-displayfd),
# so nothing is guessed: no display number two runs could both take, no wait
# that a loaded machine could outlast, no cookie file to lock.
#
#   on-xvfb.sh COMMAND [ARGS...]
set -euo pipefail
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 300); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb" 2>/dev/null || { echo "on-xvfb: Xvfb ended: $(cat "$work/xvfb.log")" >&2; exit 1; }
  sleep 0.1
done
[ -s "$work/display" ] || { echo "on-xvfb: Xvfb gave no display in 30 s" >&2; exit 1; }
status=0
DISPLAY=":$(head -1 "$work/display")" "$@" || status=$?
exit "$status"
