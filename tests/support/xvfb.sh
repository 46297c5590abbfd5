# Sourced by the test scripts: start_xvfb WIDTHxHEIGHT starts an Xvfb of that size, its log and
# display number in $WORK, as DISPLAY; it ends with the script, also when the script is stopped.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
    XVFB=$!
    trap 'kill $XVFB 2>/dev/null; eval "${ON_EXIT:-}"' EXIT
    trap 'exit 1' INT TERM HUP
    # Up to a minute: a loaded machine can be slow to start it.
    for _ in $(seq 600); do [ -s "$WORK/display" ] && break; sleep 0.1; done
    [ -s "$WORK/display" ] || { echo "Xvfb did not start"; cat "$WORK/xvfb.log"; return 1; }
    export DISPLAY=":$(cat "$WORK/display")"
}
