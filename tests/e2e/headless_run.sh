#!/bin/sh
# End-to-end, without a display: the real executable run headless (QL_HEADLESS=1) for a while, as
# a long session runs it, then ended by SIGTERM. It exits 0 with its save and log whole, its frames
# were paced, its log did not grow per frame and its peak resident size stayed under the windowed
# game's. Usage: headless_run.sh BRACKENMOOR DATA_FOLDER WORK [sanitized]
# HEADLESS_RUN_SECONDS (default 60) is how long the game runs after its first frame.
set -u
. "$(dirname "$0")/common.sh"
SECONDS_RUN=${HEADLESS_RUN_SECONDS:-60}
# The windowed game holds about 250 MB. Under AddressSanitizer the headless game holds about 210 MB
# of shadow and allocator from the start, and the quarantine of freed blocks adds up to 256 MB more
# over the first minutes; a sanitized build gets four times the bound (a recorder that keeps every
# call still passes it within seconds).
RSS_LIMIT_MB=250
[ "${4:-}" = sanitized ] && RSS_LIMIT_MB=1000
LOG_LIMIT_KB=256

QL_HEADLESS=1 "$GAME" --data_path "$DATA/" >"$WORK/game.out" 2>&1 &
PID=$!
started() { grep -q "First frame presented" "$LOG" 2>/dev/null; }
if ! wait_for 120 started; then
    kill -KILL $PID 2>/dev/null
    wait $PID
    fail "the headless game did not start: $(tail -n 5 "$WORK/game.out")"
    exit 1
fi
grep -q "Frames paced to 60 Hz by a sleeping limiter" "$LOG" && pass "frames paced by the limiter" ||
    fail "frames not paced: $(grep 'Frames' "$LOG")"

# The run itself: the game plays on its own for the time asked, and must still be running.
wait_for "$SECONDS_RUN" ended
if ended; then
    wait $PID
    fail "the game ended on its own (exit $?) before SIGTERM: $(tail -n 5 "$WORK/game.out")"
    exit 1
fi
PEAK_KB=$(awk '/^VmHWM:/ { print $2 }' /proc/$PID/status)
RSS_KB=$(awk '/^VmRSS:/ { print $2 }' /proc/$PID/status)
echo "after ${SECONDS_RUN} s: resident $((RSS_KB / 1024)) MB, peak $((PEAK_KB / 1024)) MB"
[ "$PEAK_KB" -lt $((RSS_LIMIT_MB * 1024)) ] && pass "peak resident size under $RSS_LIMIT_MB MB" ||
    fail "peak resident size $((PEAK_KB / 1024)) MB, over $RSS_LIMIT_MB MB"

rm -f "$USERDIR/profiles.xml"
kill -TERM $PID
if ! wait_for 60 ended; then
    kill -KILL $PID
    wait $PID
    fail "SIGTERM did not end the game"
    exit 1
fi
wait $PID
CODE=$?
[ $CODE -eq 0 ] && pass "SIGTERM: exit 0" || fail "SIGTERM: exit $CODE: $(tail -n 5 "$WORK/game.out")"
[ "$(tail -c 14 "$LOG")" = "</body></html>" ] && pass "log closed" || fail "log ends '$(tail -c 80 "$LOG")'"
LOG_KB=$(($(wc -c <"$LOG") / 1024))
[ "$LOG_KB" -lt $LOG_LIMIT_KB ] && pass "log of $LOG_KB KB: no line per frame" ||
    fail "log of $LOG_KB KB after $SECONDS_RUN s"
# The save at exit: the whole file (its root closed), and no temporary file left beside it.
if grep -q "currentProfile" "$USERDIR/profiles.xml" 2>/dev/null &&
    [ "$(tr -d ' \n\r\t' <"$USERDIR/profiles.xml" | tail -c 11)" = "</Profiles>" ]; then
    pass "profiles.xml saved whole at exit"
else
    fail "profiles.xml at exit: '$(cat "$USERDIR/profiles.xml" 2>/dev/null)'"
fi
LEFT=$(find "$USERDIR" -name 'profiles.xml?*')
[ -z "$LEFT" ] && pass "no temporary save left" || fail "left beside the save: $LEFT"
# A paced loop cannot pass 60 frames a second on average (a calm screen runs at 30).
RATE=$(sed -n 's/.*Main loop ended: \([0-9]*\) frames in \([0-9.e+]*\) s.*/\1 \2/p' "$LOG" |
    awk '{ if ($2 > 0) printf "%.1f", $1 / $2 }')
echo "main loop: ${RATE:-?} frames a second"
[ -n "$RATE" ] && awk -v r="$RATE" 'BEGIN { exit !(r <= 61) }' && pass "at most 60 frames a second" ||
    fail "frames a second: '${RATE:-no Main loop ended line}'"

[ $FAILS -eq 0 ] || { echo "$FAILS failed"; exit 1; }
