#!/bin/sh
# The scripts' own waits, without the game: wait_for keeps its time when the wall clock steps, and
# frames_after tells a game that ended from one that stalled. Usage: waits.sh GAME DATA WORK
set -u
. "$(dirname "$0")/common.sh"

# A `date` whose clock leaps 100 s ahead at each reading, as a stepping wall clock would show.
mkdir -p "$WORK/bin"
cat >"$WORK/bin/date" <<'SH'
#!/bin/sh
n=$(cat "$0.n" 2>/dev/null || echo 1700000000)
echo $((n + 100)) >"$0.n"
echo $((n + 100))
SH
chmod +x "$WORK/bin/date"
# The time taken, in hundredths of a second, read apart from the helpers under test.
centis() { awk '{ printf "%d", $1 * 100 }' /proc/uptime; }
elapsed_since() { echo $(($(centis) - $1)); }

START=$(centis)
if PATH="$WORK/bin:$PATH" wait_for 2 false; then fail "wait_for: false held"; fi
TOOK=$(elapsed_since "$START")
[ "$TOOK" -ge 195 ] && pass "wait_for 2 waited ${TOOK} hundredths of a second with the wall clock leaping" ||
    fail "wait_for 2 gave up after ${TOOK} hundredths of a second"
half_a_second_on() { [ "$(elapsed_since "$START")" -ge 50 ]; }
START=$(centis)
wait_for 5 half_a_second_on
TOOK=$(elapsed_since "$START")
[ "$TOOK" -ge 50 ] && [ "$TOOK" -lt 300 ] && pass "wait_for ends once the condition holds (${TOOK} hundredths)" ||
    fail "wait_for on a condition met after half a second took $TOOK hundredths"

# Each "game" below counts its frames in a file of its own: what an earlier one wrote, or writes
# late, is never read as its count.
# A "game" that presents frames 1 to 20 and ends: frames_after sees 10 more than 5.
FRAMES="$WORK/frames.come"
(for n in $(seq 20); do echo $n >"$FRAMES"; sleep 0.02; done) &
PID=$!
frames_after 5 10 >"$WORK/come.out" && pass "frames_after sees the frames that come" ||
    fail "frames_after missed frames: $(cat "$WORK/come.out")"
wait $PID

# One that ends at frame 5 with status 3: said once, with the status and the frame.
FRAMES="$WORK/frames.ended"
sh -c "echo 5 >'$FRAMES'; exit 3" &
PID=$!
frames_after 5 3 >"$WORK/ended.out" && fail "frames_after held for an ended game"
frames_after 5 3 >>"$WORK/ended.out"
[ "$(grep -c 'note: the game ended (exit status 3) at frame 5, waiting for frame 8' "$WORK/ended.out")" -eq 1 ] &&
    pass "an ended game is told once, with its exit status and last frame" ||
    fail "an ended game: '$(cat "$WORK/ended.out")'"

# One that runs on at frame 7: after FRAMES_PATIENCE seconds it is told stalled there.
FRAMES="$WORK/frames.stalled"
echo 7 >"$FRAMES"
sleep 30 &
PID=$!
FRAMES_PATIENCE=2
START=$(centis)
frames_after 7 1 >"$WORK/stalled.out" && fail "frames_after held for a stalled game"
TOOK=$(elapsed_since "$START")
kill $PID
grep -q 'note: the game still runs but stalled at frame 7 for 2 s, waiting for frame 8' "$WORK/stalled.out" &&
    [ "$TOOK" -ge 195 ] && pass "a stalled game is told with its frame count after ${TOOK} hundredths" ||
    fail "a stalled game, after $TOOK hundredths: '$(cat "$WORK/stalled.out")'"

# A script that stops on an error of its own takes the games it started with it. (Its $0 lies
# beside common.sh, which finds its helpers from there.)
rm -f "$WORK/left"
sh -c '. "$(dirname "$0")/common.sh"; sleep 60 & echo $! >"$WORK/../left"; : $((1 +))' \
    "$(dirname "$0")/stops.sh" none none "$WORK/stops" 2>/dev/null
LEFT=$(cat "$WORK/left" 2>/dev/null)
if [ -z "$LEFT" ]; then fail "the script that stops early did not start its child"
elif wait_for 5 sh -c "! kill -0 $LEFT 2>/dev/null"; then pass "a script that stops early leaves no game running"
else
    kill "$LEFT"
    fail "a script that stopped early left process $LEFT running"
fi

[ $FAILS -eq 0 ] || { echo "$FAILS failed"; exit 1; }
