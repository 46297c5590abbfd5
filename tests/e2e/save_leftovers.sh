#!/bin/sh
# End-to-end, without a display: whatever stands at the profiles' temporary name (a link to them,
# a link to a file outside the folder, a dangling link, a FIFO) is left as it is by the saves of
# the real executable. A save that fails (a file-size limit below the profiles) keeps them byte
# for byte and is told; one that succeeds leaves a plain, whole profiles.xml that a run killed
# between saves still finds; the game ends on SIGTERM however the FIFO stands.
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
# The profiles file is a plain file holding every profile, whole.
whole() {
    [ -f "$PROFILES" ] && [ ! -L "$PROFILES" ] && [ "$(grep -o '<Profile ' "$PROFILES" | wc -l)" -eq $COUNT ] &&
        [ "$(tail -c 12 "$PROFILES" | tr -d '\n')" = "</Profiles>" ] &&
        { [ -z "$XMLLINT" ] || "$XMLLINT" --noout "$PROFILES" 2>/dev/null; }
}
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
            [ "$(find "$USERDIR" -name 'profiles.xml.tmp.*' | wc -l)" -eq 0 ]; then
            pass "$KIND: a save past the limit keeps the profiles byte for byte, told, the $KIND left as it was"
        else fail "$KIND, limited: exit $CODE, $(state): $(grep -i 'profiles' "$LOG" | tail -n 3)"; fi
    fi

    # A save that succeeds, then a run killed between saves: a plain, whole profiles.xml.
    if start "$KIND-save"; then
        stop_game "$KIND, saved"
        if [ "$CODE" = 0 ] && whole && intact $KIND && [ "$(find "$USERDIR" -name 'profiles.xml.tmp.*' | wc -l)" -eq 0 ]; then
            pass "$KIND: the save at exit leaves a plain profiles.xml with all $COUNT profiles, exit 0"
        else fail "$KIND, saved: exit $CODE, $(state)"; fi
    fi
    if start "$KIND-kill"; then
        kill -KILL $PID
        wait $PID
        CODE=$?
        if [ $CODE -eq 137 ] && whole && intact $KIND && ! grep -q "damaged\|cannot be read" "$LOG"; then
            pass "$KIND: a run killed after its first frame found and left all $COUNT profiles whole"
        else fail "$KIND, killed: exit $CODE, $(state): $(grep -i 'profiles' "$LOG" | tail -n 3)"; fi
    fi
done

[ $FAILS -eq 0 ] || { echo "$FAILS failed"; exit 1; }
