#!/bin/sh
# End-to-end, without a display: whatever stands at the profiles' temporary name (a link to them,
# a link to a file outside the folder, a dangling link, a FIFO) is left as it is by the saves of
# the real executable. A save that fails (a file-size limit below the profiles) keeps them byte
# for byte and is told; one that succeeds leaves a plain, whole profiles.xml that a run killed
# between saves still finds; the game ends on SIGTERM however the FIFO stands. A run killed in
# the middle of its start-up save (strace stops it at the save's rename) leaves its copy under a
# fresh temporary name, which the next start removes, leaving a link or folder of such a name be.
# Usage: save_leftovers.sh BRACKENMOOR DATA_FOLDER WORK [sanitized]
set -u
. "$(dirname "$0")/common.sh"
export QL_HEADLESS=1
COUNT=3000
PROFILES="$USERDIR/profiles.xml"
TMP="$PROFILES.tmp"
OUTSIDE="$WORK/outside"

first_frame() { [ "$(frame_count)" -ge 1 ] || ended; }
# WHAT: the game in the background until its first frame (its terminal output in WORK/WHAT.out),
# PID; false, told and ended when it ends or hangs before.
start() {
    rm -f "$LOG" "$FRAMES"
    "$GAME" --data_path "$DATA/" >"$WORK/$1.out" 2>&1 &
    PID=$!
    wait_for 120 first_frame
    [ "$(frame_count)" -ge 1 ] && ! ended && return 0
    kill -KILL $PID 2>/dev/null
    wait $PID
    fail "$1: no first frame: $(tail -n 5 "$WORK/$1.out")"
    return 1
}
# [FILE]: the profiles file (or FILE) is a plain file holding every profile, whole.
whole() {
    _file=${1:-$PROFILES}
    [ -f "$_file" ] && [ ! -L "$_file" ] && [ "$(grep -o '<Profile ' "$_file" | wc -l)" -eq $COUNT ] &&
        [ "$(tail -c 12 "$_file" | tr -d '\n')" = "</Profiles>" ] &&
        { [ -z "$XMLLINT" ] || "$XMLLINT" --noout "$_file" 2>/dev/null; }
}
# The temporary files of saves under fresh names, plain files or not.
fresh_names() { find "$USERDIR" -name 'profiles.xml.tmp.*' | sort; }
XMLLINT=$(command -v xmllint || true)

# KIND: the leftover at the temporary name, and what it points to outside the folder.
plant() {
    rm -rf "$OUTSIDE" "$TMP" && mkdir -p "$OUTSIDE"
    case $1 in
    link) ln -s profiles.xml "$TMP" ;;
    outside) printf 'not the game'"'"'s\n' >"$OUTSIDE/target" && ln -s "$OUTSIDE/target" "$TMP" ;;
    dangling) ln -s "$OUTSIDE/missing" "$TMP" ;;
    fifo) mkfifo "$TMP" ;;
    esac
}
# KIND: the leftover is as planted; else says what became of it.
intact() {
    case $1 in
    link) [ -L "$TMP" ] && [ "$(readlink "$TMP")" = profiles.xml ] ;;
    outside) [ -L "$TMP" ] && [ "$(cat "$OUTSIDE/target")" = "not the game's" ] ;;
    dangling) [ -L "$TMP" ] && [ ! -e "$OUTSIDE/missing" ] ;;
    fifo) [ -p "$TMP" ] ;;
    esac
}
state() { echo "$(ls -l "$USERDIR" "$OUTSIDE" 2>&1 | tr '\n' ' ')"; }

# The player's profiles, as the game writes them: a first run's file with its one profile
# repeated under COUNT names, saved once by the game so that a save without changes is byte for
# byte the same.
start first || exit 1
stop_game "first run"
[ "$CODE" = 0 ] && grep -q '<Profile ' "$PROFILES" || { fail "first run: exit $CODE, no profiles"; exit 1; }
awk -v count=$COUNT '
    /<Profile[ >]/ { inside = 1 }
    inside { profile = profile $0 "\n" }
    !inside { if (profile == "") head = head $0 "\n"; else tail = tail $0 "\n" }
    /<\/Profile>|<Profile [^>]*\/>/ { inside = 0 }
    END {
        printf "%s", head
        for (i = 1; i <= count; ++i) { p = profile; sub(/name="[^"]*"/, "name=\"Player" i "\"", p); printf "%s", p }
        printf "%s", tail
    }' "$PROFILES" >"$WORK/profiles.made"
sed 's/currentProfile="[^"]*"/currentProfile="Player1"/' "$WORK/profiles.made" >"$PROFILES"
start resave || exit 1
stop_game "resave"
cp "$PROFILES" "$WORK/profiles.many"
if [ "$CODE" = 0 ] && whole; then pass "$COUNT profiles saved by the game ($(wc -c <"$PROFILES") bytes)"
else fail "$COUNT profiles: exit $CODE, $(grep -o '<Profile ' "$PROFILES" | wc -l) profiles"; exit 1; fi

for KIND in link outside dangling fifo; do
    # A save that fails part way: the profiles byte for byte as they were, the failure told.
    cp "$WORK/profiles.many" "$PROFILES"
    plant $KIND
    if start "$KIND-limit"; then
        LIMIT=$(($(wc -c <"$LOG") + 32768))
        [ $LIMIT -lt $(wc -c <"$PROFILES") ] || fail "$KIND: the limit ($LIMIT bytes) is not below the profiles"
        prlimit --pid $PID --fsize=$LIMIT || fail "$KIND: prlimit refused"
        stop_game "$KIND, limited"
        if [ "$CODE" = 0 ] && cmp -s "$PROFILES" "$WORK/profiles.many" && [ ! -L "$PROFILES" ] && intact $KIND &&
            grep -q "Progress will not be saved: cannot write '$PROFILES': File too large" "$LOG" &&
            [ -z "$(fresh_names)" ]; then
            pass "$KIND: a save past the limit keeps the profiles byte for byte, told, the $KIND left as it was"
        else fail "$KIND, limited: exit $CODE, $(state): $(grep -i 'profiles' "$LOG" | tail -n 3)"; fi
    fi

    # A save that succeeds, then a run killed between saves: a plain, whole profiles.xml.
    if start "$KIND-save"; then
        stop_game "$KIND, saved"
        if [ "$CODE" = 0 ] && whole && intact $KIND && [ -z "$(fresh_names)" ]; then
            pass "$KIND: the save at exit leaves a plain profiles.xml with all $COUNT profiles, exit 0"
        else fail "$KIND, saved: exit $CODE, $(state)"; fi
    fi

    # A run killed in the middle of its start-up save, as the save renames its file: the
    # profiles as they were, and the save's whole copy left under a fresh temporary name.
    cp "$WORK/profiles.many" "$PROFILES"
    rm -f "$LOG"
    # The game renames nothing but its saves' files.
    strace -f -qq -o /dev/null -e trace=rename,renameat,renameat2 -e inject=rename,renameat,renameat2:signal=KILL \
        "$GAME" --data_path "$DATA/" >"$WORK/$KIND-cut.out" 2>&1 &
    PID=$!
    if ! wait_for 120 ended; then
        # A tracer killed lets its tracee go on: the game goes first.
        pkill -KILL -P $PID
        kill -KILL $PID
        echo "note: no save was stopped within 120 s"
    fi
    wait $PID
    CODE=$?
    LEFT=$(fresh_names)
    if [ $CODE -eq 137 ] && [ "$(echo "$LEFT" | wc -w)" -eq 1 ] && whole "$LEFT" && intact $KIND &&
        cmp -s "$PROFILES" "$WORK/profiles.many"; then
        pass "$KIND: a run killed in its start-up save left the profiles as they were and the save's copy beside them"
    else fail "$KIND, killed in a save: exit $CODE, $(state): $(tail -n 3 "$WORK/$KIND-cut.out")"; fi
    # Of such names, only a link and a folder: left as they are.
    ln -s profiles.xml "$USERDIR/profiles.xml.tmp.1.1"
    mkdir "$USERDIR/profiles.xml.tmp.2.1"

    # The next run removes the copy and nothing else, and, killed between saves (once its
    # start-up save is on disk), leaves a plain, whole profiles.xml.
    BEFORE=$(profiles_inode)
    if start "$KIND-kill"; then
        if [ -n "$LEFT" ] && [ ! -e "$LEFT" ] && [ -L "$USERDIR/profiles.xml.tmp.1.1" ] &&
            [ -d "$USERDIR/profiles.xml.tmp.2.1" ] && intact $KIND &&
            grep -q "Removed what saves cut short left: '$(basename "$LEFT")'" "$LOG"; then
            pass "$KIND: the next start removed the cut save's copy, told, and left the link and the folder" \
                "of such names and the $KIND"
        else fail "$KIND, the next start: $(state): $(grep -i 'removed' "$LOG" | tail -n 3)"; fi
        wait_for 120 saved_over "$BEFORE"
        kill -KILL $PID
        wait $PID
        CODE=$?
        if [ $CODE -eq 137 ] && [ "$(profiles_inode)" != "$BEFORE" ] && whole && intact $KIND &&
            ! grep -q "damaged\|cannot be read" "$LOG"; then
            pass "$KIND: a run killed after its start-up save found and left all $COUNT profiles whole"
        else fail "$KIND, killed: exit $CODE, $(state): $(grep -i 'profiles' "$LOG" | tail -n 3)"; fi
    fi
    rm -rf "$USERDIR/profiles.xml.tmp.1.1" "$USERDIR/profiles.xml.tmp.2.1"
done

[ $FAILS -eq 0 ] || { echo "$FAILS failed"; exit 1; }
