#!/bin/sh
# End-to-end, without a display: files that are not plain files (FIFOs where the game reads or
# writes) are never waited on, and a pack the system will not open (too few file descriptors) is
# told with the system's reason, not as damaged.
# Usage: odd_files.sh BRACKENMOOR DATA_FOLDER WORK [sanitized]
set -u
. "$(dirname "$0")/common.sh"
export QL_HEADLESS=1

# OUT: the game in the background (its terminal output in WORK/OUT.out), PID.
start() {
    env QL_LOG_STDERR=1 "$GAME" --data_path "$DATA/" >"$WORK/$1.out" 2>&1 &
    PID=$!
}
# Waits for the first frame, or for the game to end. A game still starting after the wait hangs:
# it is killed and said to hang, so that no hang outlives the test.
started() {
    wait_for 120 sh -c "grep -q 'First frame presented' '$WORK/$1.out' || ! kill -0 $PID 2>/dev/null"
    grep -q "First frame presented" "$WORK/$1.out" && return 0
    if ended; then
        fail "$2: the game ended before its first frame: $(tail -n 5 "$WORK/$1.out")"
    else
        kill -KILL $PID
        fail "$2: the game hangs before its first frame: $(tail -n 3 "$WORK/$1.out")"
    fi
    wait $PID
    return 1
}

# A FIFO as profiles.xml: unreadable, so the game plays with a fresh profile, tells why, saves no
# profiles over it and leaves it as it is.
mkdir -p "$USERDIR"
mkfifo "$USERDIR/profiles.xml"
if start fifo && started fifo "a FIFO profiles.xml"; then
    stop_game "a FIFO profiles.xml"
    if [ "$CODE" = 0 ] && grep -q "profiles.xml' cannot be read (a FIFO, not a plain file); it is left as it is" "$LOG" &&
        grep -q "Main loop ended" "$LOG" && [ -p "$USERDIR/profiles.xml" ] &&
        [ ! -e "$USERDIR/profiles.xml.bad" ] && [ ! -e "$USERDIR/profiles.xml.tmp" ]; then
        pass "a FIFO profiles.xml is told, never waited on and left a FIFO; the game plays and ends, exit 0"
    else
        fail "a FIFO profiles.xml: exit $CODE, $(ls -l "$USERDIR"): $(grep -i 'profiles' "$LOG")"
    fi
fi
rm -f "$USERDIR/profiles.xml"

# A FIFO as the log: it is not written, the player is told on the terminal, and the game plays.
mv "$LOG" "$WORK/log.before"
mkfifo "$LOG"
if start fifolog && started fifolog "a FIFO log.html"; then
    stop_game "a FIFO log.html"
    if [ "$CODE" = 0 ] && [ -p "$LOG" ] &&
        grep -q "the log '$LOG' cannot be written" "$WORK/fifolog.out"; then
        pass "a FIFO log.html is told on the terminal and left a FIFO; the game plays and ends, exit 0"
    else
        fail "a FIFO log.html: exit $CODE: $(grep -i 'log' "$WORK/fifolog.out" | tail -n 5)"
    fi
fi
rm -f "$LOG"

# A copy of the data folder with everything linked but the pack, which each case below replaces.
mkdir -p "$WORK/data"
for entry in "$DATA"/*; do
    [ "$(basename "$entry")" = data.dat ] || ln -s "$entry" "$WORK/data/"
done
# OUT: the game on that copy; it must end by itself, with 1 (timeout turns a hang into 124).
start_fails() {
    timeout 120 "$GAME" --data_path "$WORK/data/" >"$WORK/$1.out" 2>&1
    CODE=$?
}

# A FIFO as the pack: the player reads what it is, and the game ends instead of waiting on it.
mkfifo "$WORK/data/data.dat"
start_fails fifopack
if [ $CODE -eq 1 ] && grep -q "data.dat' cannot be opened (a FIFO, not a plain file): the game cannot start" "$WORK/fifopack.out" &&
    ! grep -q "damaged" "$WORK/fifopack.out" && [ -p "$WORK/data/data.dat" ]; then
    pass "a FIFO as the pack is named, never waited on, exit 1"
else fail "a FIFO as the pack: exit $CODE: $(cat "$WORK/fifopack.out")"; fi
rm -f "$WORK/data/data.dat"
ln -s "$DATA/data.dat" "$WORK/data/data.dat"

# Too few file descriptors: the lowest limit under which the game gets as far as its pack (it
# names it) is searched for from below; there the pack cannot be opened, and the system's reason
# is told, not damage. The pack itself is sound.
# Not under the sanitizers: their own checks need descriptors (UBSan's probe of readable memory
# opens a pipe), so a tiny limit makes them report faults of their own before the pack is reached.
SKIPPED=
if [ "${4:-}" = sanitized ]; then
    echo "note: too few file descriptors are tried in the unsanitized build only"
elif command -v prlimit >/dev/null 2>&1; then
    FOUND=
    for N in $(seq 4 64); do
        env QL_LOG_STDERR=1 prlimit --nofile=$N "$GAME" --data_path "$WORK/data/" >"$WORK/nofile.out" 2>&1 &
        PID=$!
        wait_for 120 sh -c "grep -q 'First frame presented' '$WORK/nofile.out' || ! kill -0 $PID 2>/dev/null"
        if ! ended; then
            # Enough descriptors to play (no pack message was met below this limit), or a hang.
            grep -q "First frame presented" "$WORK/nofile.out" || fail "with $N file descriptors the game hangs"
            kill -KILL $PID
            wait $PID
            break
        fi
        wait $PID
        CODE=$?
        if grep -q "data.dat'" "$WORK/nofile.out"; then
            FOUND=$N
            break
        fi
    done
    if [ -z "$FOUND" ]; then
        fail "no limit made the pack's opening fail: $(tail -n 5 "$WORK/nofile.out")"
    elif [ $CODE -eq 1 ] && grep -q "data.dat' cannot be opened (Too many open files): the game cannot start" "$WORK/nofile.out" &&
        ! grep -q "damaged" "$WORK/nofile.out"; then
        pass "with $FOUND file descriptors the pack is told unopened for the system's reason, not damaged"
    else
        fail "with $FOUND file descriptors: exit $CODE: $(cat "$WORK/nofile.out")"
    fi
else
    SKIPPED="no prlimit; too few file descriptors are not tried"
fi

[ $FAILS -eq 0 ] || { echo "$FAILS failed"; exit 1; }
[ -z "$SKIPPED" ] || skip "$SKIPPED"
