#!/bin/sh
# End-to-end, without a display: the real executable with its user-data folder meddled with: a
# link as its instance lock, the folder removed while it runs, a file-size limit. Each time the
# game plays, ends normally, and the player's profiles are whole (saved, or kept as they were and
# the terminal told). Usage: user_data_faults.sh BRACKENMOOR DATA_FOLDER WORK
set -u
. "$(dirname "$0")/common.sh"
export QL_HEADLESS=1

# OUT: the game in the background until its first frame and its start-up save are there (the
# save may come after the frame: the folder is meddled with only once it is on disk); PID.
start_game() {
    rm -f "$LOG"
    _before=$(profiles_inode)
    "$GAME" --data_path "$DATA/" >"$WORK/$1.out" 2>&1 &
    PID=$!
    wait_for 90 grep -q "First frame presented" "$LOG" 2>/dev/null && wait_for 90 saved_over "$_before" && ! ended
}
saved() { grep -q "currentProfile" "$USERDIR/profiles.xml" 2>/dev/null; }

# A first run leaves the profiles, given a note that a fresh profile lacks and that a run without
# changes saves again byte for byte.
start_game first || fail "first run: the game did not start"
stop_game "first run"
saved || fail "first run: no profiles saved"
sed 's|<Profile |<Profile note="kept" |' "$USERDIR/profiles.xml" >"$WORK/profiles.before"
cp "$WORK/profiles.before" "$USERDIR/profiles.xml"

# instance.lock a link to profiles.xml: not followed. The lock on the folder itself holds, and the
# profiles are neither emptied nor taken as damaged.
rm -f "$USERDIR/instance.lock"
ln -s profiles.xml "$USERDIR/instance.lock"
start_game link || fail "instance.lock a link: the game did not start"
if cmp -s "$USERDIR/profiles.xml" "$WORK/profiles.before" && [ ! -e "$USERDIR/profiles.xml.bad" ] &&
    grep -q "The process id cannot be recorded in '$USERDIR/instance.lock' (open lock file: Too many levels of symbolic links); the lock on the folder holds" "$LOG"; then
    pass "instance.lock a link: not followed, the folder's own lock holds, and logged"
else fail "instance.lock a link: $(grep -i 'lock\|profiles' "$LOG")"; fi
stop_game "instance.lock a link"
if [ $CODE -eq 0 ] && [ -L "$USERDIR/instance.lock" ] && cmp -s "$USERDIR/profiles.xml" "$WORK/profiles.before" &&
    [ ! -e "$USERDIR/profiles.xml.bad" ]; then
    pass "instance.lock a link: the game ends normally, profiles.xml byte-identical"
else fail "instance.lock a link: exit $CODE, profiles.xml now '$(head -c 200 "$USERDIR/profiles.xml")'"; fi
rm -f "$USERDIR/instance.lock"

# The user-data folder removed while the game runs: the save at exit makes it again.
start_game removed || fail "folder removed: the game did not start"
rm -rf "$USERDIR"
stop_game "folder removed"
if [ $CODE -eq 0 ] && saved && [ ! -e "$USERDIR/profiles.xml.tmp" ] && ! grep -q "not saved" "$WORK/removed.out"; then
    pass "folder removed: made again by the save at exit, the profiles in it"
else fail "folder removed: exit $CODE, $(ls -A "$USERDIR" 2>&1): $(cat "$WORK/removed.out")"; fi

# ...and when it cannot be made again (a file where its parent was), the terminal is told.
start_game unmakeable || fail "folder unmakeable: the game did not start"
rm -rf "$XDG_DATA_HOME/Marrowgate"
: >"$XDG_DATA_HOME/Marrowgate"
stop_game "folder unmakeable"
if [ $CODE -eq 0 ] && grep -q "brackenmoor: progress not saved at exit: cannot create '$USERDIR/profiles.xml.tmp'" "$WORK/unmakeable.out"; then
    pass "folder unmakeable: the lost save is told on the terminal, the game ends normally"
else fail "folder unmakeable: exit $CODE: $(cat "$WORK/unmakeable.out")"; fi
rm -f "$XDG_DATA_HOME/Marrowgate"

# A file-size limit set on the running game, below what its log already holds: log lines fail
# from then on, and the save at exit, smaller than the limit, is still made.
start_game limit || fail "size limit: the game did not start"
LOGSIZE=$(wc -c <"$LOG")
SAVESIZE=$(wc -c <"$USERDIR/profiles.xml" 2>/dev/null || echo 0)
rm -f "$USERDIR/profiles.xml"
prlimit --pid $PID --fsize=$((LOGSIZE - 1)) || fail "size limit: prlimit refused"
# From here on the log is past the limit: no write to it can add a byte.
FROZEN=$(wc -c <"$LOG")
stop_game "size limit"
if [ $CODE -eq 0 ] && saved && [ ! -e "$USERDIR/profiles.xml.tmp" ] && [ "$(wc -c <"$LOG")" -eq "$FROZEN" ]; then
    pass "size limit: the log stops, the game ends normally, its save at exit made"
else fail "size limit: exit $CODE, log $(wc -c <"$LOG") of $FROZEN bytes, $(ls -A "$USERDIR"): $(cat "$WORK/limit.out")"; fi

# A save larger than the limit is not made: the last one stays whole and the terminal is told.
# The profiles grow by a note the game keeps and writes back.
NOTE=$(head -c 8000 /dev/zero | tr '\0' n)
sed "s|<Profile note=\"kept\" |<Profile note=\"$NOTE\" |" "$WORK/profiles.before" >"$USERDIR/profiles.xml"
cp "$USERDIR/profiles.xml" "$WORK/profiles.big"
start_game bigsave || fail "size limit below the save: the game did not start"
prlimit --pid $PID --fsize=4096 || fail "size limit below the save: prlimit refused"
stop_game "size limit below the save"
if [ $CODE -eq 0 ] && cmp -s "$USERDIR/profiles.xml" "$WORK/profiles.big" && [ ! -e "$USERDIR/profiles.xml.tmp" ] &&
    grep -q "brackenmoor: progress not saved at exit: cannot write '$USERDIR/profiles.xml': File too large" "$WORK/bigsave.out"; then
    pass "size limit below the save: the save not made and told, profiles.xml whole, no temporary file"
else fail "size limit below the save: exit $CODE, $(ls -A "$USERDIR"): $(cat "$WORK/bigsave.out")"; fi
[ "$SAVESIZE" -lt $((LOGSIZE - 1)) ] || fail "size limit: the test's save ($SAVESIZE bytes) is not below its limit"

[ $FAILS -eq 0 ] || { echo "$FAILS failed"; exit 1; }
