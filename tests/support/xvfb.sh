# Sourced by the test scripts after wait.sh: start_xvfb WIDTHxHEIGHT starts an Xvfb of that size,
# its log and display number in $WORK, as DISPLAY; it ends with the script, also when the script is
# stopped.
# -noreset: the server stays as it is when its last client leaves, so a game that starts just as
# the one before it ended never meets a server between generations.
start_xvfb() {
    XVFB_SIZE=$1
    rm -f "$WORK/display"
    Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp -noreset 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
    XVFB=$!
    trap 'kill $XVFB 2>/dev/null; eval "${ON_EXIT:-}"' EXIT
    trap 'exit 1' INT TERM HUP
    # Up to a minute: a loaded machine can be slow to start it.
    wait_for 60 _xvfb_up_or_ended
    [ -s "$WORK/display" ] || { echo "Xvfb did not start"; cat "$WORK/xvfb.log"; return 1; }
    export DISPLAY=":$(cat "$WORK/display")"
}
_xvfb_up_or_ended() { [ -s "$WORK/display" ] || ! kill -0 "$XVFB" 2>/dev/null; }
# xvfb_answers: the server runs and takes a connection (asked with xdotool or xdpyinfo, whichever
# is installed).
xvfb_answers() {
    kill -0 "$XVFB" 2>/dev/null || return 1
    if command -v xdotool >/dev/null 2>&1; then timeout 30 xdotool getdisplaygeometry >/dev/null 2>&1
    elif command -v xdpyinfo >/dev/null 2>&1; then timeout 30 xdpyinfo >/dev/null 2>&1
    fi
}
# xvfb_mend: when the server has ended or takes no connection, says how, with its exit status and
# log, and starts another of the same size in its place.
xvfb_mend() {
    if xvfb_answers; then
        echo "note: the X server on $DISPLAY answers"
        return 0
    fi
    if kill -0 "$XVFB" 2>/dev/null; then
        echo "note: the X server on $DISPLAY runs but takes no connection"
        kill -KILL "$XVFB"
    fi
    wait "$XVFB"
    echo "note: the X server on $DISPLAY ended (status $?), its log: '$(cat "$WORK/xvfb.log")'; another starts"
    start_xvfb "$XVFB_SIZE"
}
