#!/bin/sh
# End-to-end, without a display: one copy of the game per user-data folder whatever the
# environment of the others (their runtime folder differs or is unset, instance.lock is a folder),
# and a quit signal sent twice at once (as `timeout` and a process-group kill do) that ends the
# game as one does: exit 0, the log closed, the save at exit made.
# Usage: copies_and_quit.sh BRACKENMOOR DATA_FOLDER WORK [sanitized]
set -u
. "$(dirname "$0")/common.sh"
export QL_HEADLESS=1
mkdir -p "$WORK/runA" "$WORK/runB" "$WORK/tmp" "$USERDIR"
chmod 700 "$WORK/runA" "$WORK/runB" "$WORK/tmp"

gone() { ! kill -0 "$1" 2>/dev/null; }
started() { grep -q "First frame presented" "$LOG" 2>/dev/null; }
# A profile with a note the game keeps: a save at exit that carries it was made by the game.
profile() {
    cat >"$USERDIR/profiles.xml" <<XML
<Profiles currentProfile="Ann"><Profile name="Ann" note="$1"/></Profiles>
XML
}
# saved NOTE: profiles.xml rewritten by the game, whole, with the note.
saved() {
    grep -q "note=\"$1\"" "$USERDIR/profiles.xml" 2>/dev/null && grep -q "currentProfile" "$USERDIR/profiles.xml" &&
        [ "$(tail -n 1 "$USERDIR/profiles.xml")" = "</Profiles>" ] && [ ! -e "$USERDIR/profiles.xml.tmp" ]
}
# finish PID WHAT: waits for the copy to end (KILL after a minute); its exit status in CODE.
finish() {
    if ! wait_for 60 gone "$1"; then
        kill -KILL "$1"
        fail "$2: did not end"
    fi
    wait "$1"
    CODE=$?
}

# instance.lock a folder: no copy can write its id there. Copy A runs with one runtime folder; B
# with another and C with none end at once as second copies, whatever their fallback would be.
rm -rf "$USERDIR/instance.lock"
mkdir "$USERDIR/instance.lock"
profile copies
rm -f "$LOG"
XDG_RUNTIME_DIR="$WORK/runA" "$GAME" --data_path "$DATA/" >"$WORK/A.out" 2>&1 &
A=$!
PID=$A
wait_for 90 started || fail "copy A did not start: $(tail -n 5 "$WORK/A.out")"
grep -q "The process id cannot be recorded in '$USERDIR/instance.lock'" "$LOG" &&
    pass "copy A: the id not recorded in a folder named instance.lock, and logged" ||
    fail "copy A: $(grep -i 'lock' "$LOG")"
cp "$LOG" "$WORK/log.A"
second_copy() { # NAME ENV...: a copy that must end at once as a second copy
    _name=$1
    shift
    env "$@" QL_LOG_STDERR=1 "$GAME" --data_path "$DATA/" >"$WORK/$_name.out" 2>&1 &
    _pid=$!
    finish $_pid "copy $_name"
    if [ $CODE -eq 0 ] && grep -q "Another copy of the game is running" "$WORK/$_name.out" &&
        ! grep -q "First frame presented" "$WORK/$_name.out"; then
        pass "copy $_name: ends at once as a second copy"
    else fail "copy $_name: exit $CODE: $(tail -n 5 "$WORK/$_name.out")"; fi
}
second_copy B XDG_RUNTIME_DIR="$WORK/runB"
second_copy C -u XDG_RUNTIME_DIR TMPDIR="$WORK/tmp"
gone $A && fail "copy A ended with the others"
# One writer: what A had logged is still the log's beginning, and no other copy started in it.
if cmp -s -n "$(wc -c <"$WORK/log.A")" "$LOG" "$WORK/log.A" && [ "$(grep -c "First frame presented" "$LOG")" -eq 1 ]; then
    pass "the log has one writer, copy A"
else fail "the log was written by another copy: $(grep -c "First frame presented" "$LOG") first frames"; fi
kill -TERM $A
finish $A "copy A"
if [ $CODE -eq 0 ] && saved copies && [ "$(tail -c 14 "$LOG")" = "</body></html>" ]; then
    pass "copy A: its save at exit whole, its log closed"
else fail "copy A: exit $CODE, profiles.xml '$(cat "$USERDIR/profiles.xml")', log ends '$(tail -c 80 "$LOG")'"; fi
rmdir "$USERDIR/instance.lock"

# A quit signal sent twice within a frame, four times over for each: one quit, through the loop.
for SIG in TERM INT; do
    for run in 1 2 3 4; do
        profile "$SIG$run"
        rm -f "$LOG"
        "$GAME" --data_path "$DATA/" >"$WORK/$SIG$run.out" 2>&1 &
        PID=$!
        wait_for 90 started || fail "SIG$SIG run $run: the game did not start"
        # The save at exit alone writes it again.
        rm -f "$USERDIR/profiles.xml"
        # The second through the kill program: a moment after the first has landed (two sent at
        # the same instant merge into one), and well within a frame.
        kill -$SIG $PID; env kill -$SIG $PID
        finish $PID "SIG$SIG run $run"
        if [ $CODE -eq 0 ] && ended_by "a quit signal, SIG$SIG" && [ "$(tail -c 14 "$LOG")" = "</body></html>" ] &&
            saved "$SIG$run"; then
            pass "SIG$SIG twice, run $run: exit 0, log closed, save at exit made"
        else
            fail "SIG$SIG twice, run $run: exit $CODE, profiles.xml '$(cat "$USERDIR/profiles.xml" 2>&1)', log ends '$(tail -c 80 "$LOG")'"
        fi
    done
done

[ $FAILS -eq 0 ] || { echo "$FAILS failed"; exit 1; }
