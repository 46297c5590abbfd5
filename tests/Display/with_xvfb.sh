#!/bin/sh
# Runs a command on a fresh Xvfb of the given size: with_xvfb.sh WIDTHxHEIGHT COMMAND...
set -u
SIZE=$1
shift
WORK=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 "${SIZE}x24" -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
XVFB=$!
trap 'kill $XVFB 2>/dev/null; rm -rf "$WORK"' EXIT
for _ in $(seq 50); do [ -s "$WORK/display" ] && break; sleep 0.1; done
[ -s "$WORK/display" ] || { echo "Xvfb did not start"; cat "$WORK/xvfb.log"; exit 1; }
DISPLAY=":$(cat "$WORK/display")" "$@"
