#!/bin/sh
# End-to-end: a hand-edited profile with stars out of range, negative crystals and levels the game
# does not have. Headless, a start and a stop log each damaged value once and keep it in
# profiles.xml; under Xvfb the real window is clicked from the main menu through the episode
# selection into the first episode's first battle, which the damage must not lock.
# Usage: damaged_progress.sh BRACKENMOOR DATA_FOLDER WORK
set -u
. "$(dirname "$0")/common.sh"

damaged_profile() { # FS: the player "Ann" with the damaged numbers, full screen (1) or not (0)
    mkdir -p "$USERDIR"
    {
        printf '<Profiles currentProfile="Ann">\n<Profile name="Player01234567890123456789" version="4"/>\n'
        printf '<Profile name="Ann" version="4"><fs v="%s"/><mode v="0"/>' "$1"
        printf '<gems amount="-5"/><tutorial avail="0"/>\n<levels>\n'
        printf '<level n="0" episode="0" mode="0" stars="-5"/>\n<level n="1" episode="0" mode="0" stars="-5"/>\n'
        n=0
        while [ $n -lt 200 ]; do
            printf '<level n="%d" episode="7" mode="0" stars="3"/>\n' $n
            n=$((n + 1))
        done
        printf '</levels></Profile>\n</Profiles>\n'
    } >"$USERDIR/profiles.xml"
}
# STARS LEVELS: the crystals named once in the log, the stars of the two levels in that many
# lines, the levels not counted in that many (once each read; the main menu reads no stars).
told_once() {
    [ "$(grep -c 'Profile value amount="-5" of' "$LOG")" -eq 1 ] &&
        [ "$(grep -c 'Profile value stars="-5" of' "$LOG")" -eq "$1" ] &&
        [ "$(grep -c 'Profile entries not counted: 200 ' "$LOG")" -eq "$2" ]
}
# profiles.xml, as the save at exit wrote it, still holds the damaged stars and levels; the crystals
# are the game's counter, which the start stores as it holds them.
kept() {
    [ "$(grep -c 'stars="-5"' "$USERDIR/profiles.xml")" -eq 2 ] &&
        [ "$(grep -c '<gems amount="0"/>' "$USERDIR/profiles.xml")" -eq 1 ] &&
        [ "$(grep -c 'episode="7"' "$USERDIR/profiles.xml")" -eq 200 ]
}

# Headless: the crystals are read at the start; the run ends with its save at exit.
damaged_profile 1
rm -f "$LOG"
QL_HEADLESS=1 "$GAME" --data_path "$DATA/" >"$WORK/headless.out" 2>&1 &
PID=$!
if wait_for 90 grep -q "First frame presented" "$LOG" 2>/dev/null &&
    wait_for 60 grep -q 'Profile value amount="-5" of' "$LOG"; then
    pass "headless: the negative crystals are logged"
else fail "headless: no word of the negative crystals: $(sed 's/<[^>]*>//g' "$LOG" | tail -n 5)"; fi
stop_game headless
told_once 0 0 && pass "headless: each damaged value logged once" ||
    fail "headless: $(grep -c 'Profile value' "$LOG") lines of damaged values"
kept && pass "headless: profiles.xml keeps the damaged values" ||
    fail "headless: profiles.xml: $(head -c 400 "$USERDIR/profiles.xml")"

command -v Xvfb >/dev/null 2>&1 && command -v xdotool >/dev/null 2>&1 || {
    [ $FAILS -eq 0 ] || exit 1
    skip "no Xvfb or xdotool: the window is not driven"
}

# Under X, in a window: the screen numbers the game logs (7 main menu, 5 episodes, 6 levels,
# 11 unlock message) and "Battle started" say where the clicks led.
start_xvfb 1920x1080 || exit 1
damaged_profile 0
rm -f "$LOG" "$FRAMES"
start_window window || { fail "no window: $(cat "$WORK/window.out")"; exit 1; }
on() { grep -q "Screen number: $1\." "$LOG" 2>/dev/null; }
now_on() { [ "$(grep -o 'Screen number: [0-9]*' "$LOG" | tail -1)" = "Screen number: $1" ]; }
started() { grep -q "Battle started" "$LOG" 2>/dev/null; }
menu_or_battle() { on 11 || started; }
# CONDITION X Y: one click at (x, y) unless the condition already holds, then three frames for it
# (the first may have begun before the click came; the one that takes the click logs the screen it
# opens).
clicked_into() {
    $1 && return 0
    xdotool mousemove --window "$WID" "$2" "$3" click 1
    frames_after "$(frame_count)" 3
    $1 || { echo "note: nothing came of the click at ($2, $3) within three frames"; return 1; }
}
click_until() { wait_for 90 clicked_into "now_on $1" "$2" "$3"; }

if wait_for 120 clicked_into "on 7" 100 700 && click_until 5 683 333; then
    pass "the main menu's play opens the episode selection"
else fail "no episode selection: $(grep -o 'Screen number: [0-9]*' "$LOG" | tail -3 | tr '\n' ' ')"; fi
# The first episode's card is open: its play leads to the levels, and the first level starts.
if click_until 6 683 333; then pass "the first episode opens"
else fail "the first episode stays locked"; fi
if wait_for 90 clicked_into menu_or_battle 300 270 && wait_for 90 clicked_into started 683 524; then
    pass "the first level of the first episode starts"
else fail "the first level did not start: $(grep -o 'Screen number: [0-9]*' "$LOG" | tail -3 | tr '\n' ' ')"; fi
stop_game window
told_once 2 1 && pass "window: each damaged value logged once" ||
    fail "window: $(grep 'Profile value\|not counted' "$LOG" | sed 's/<[^>]*>//g')"
kept && pass "window: profiles.xml keeps the damaged values" ||
    fail "window: profiles.xml: $(head -c 400 "$USERDIR/profiles.xml")"

[ $FAILS -eq 0 ] || { echo "$FAILS failed"; exit 1; }
