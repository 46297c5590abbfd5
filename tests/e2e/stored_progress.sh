#!/bin/sh
# End-to-end: what a profile stores read as it stands, through the real executable. Headless, a
# name holding a reference to NUL beside the name it repairs to: three starts, each ended by
# SIGTERM, keep two distinct names, the same two each time. Under Xvfb, a player with one upgrade
# stored without a level and one past its last step buys in the real window's shop and resets
# the upgrades: the file then holds both levels -1 and every step's crystals back.
# Usage: stored_progress.sh BRACKENMOOR DATA_FOLDER WORK BUILD
set -u
. "$(dirname "$0")/common.sh"

names() { grep -o ' name="[^"]*"' "$USERDIR/profiles.xml" | sort | tr -d '\n'; }
REPLACED=$(printf '\357\277\275')

# (a) Headless: "Nul&#0;x" repairs to the name of the profile after it, so it takes the next number.
mkdir -p "$USERDIR"
printf '<Profiles currentProfile="Nul&#0;x">\n<Profile name="Nul&#0;x"><tutorial avail="0"/></Profile>\n<Profile name="Nul%sx"/>\n</Profiles>\n' \
    "$REPLACED" >"$USERDIR/profiles.xml"
WANT=" name=\"Nul${REPLACED}x\" name=\"Nul${REPLACED}x-2\""
for start in 1 2 3; do
    rm -f "$LOG" "$FRAMES"
    QL_HEADLESS=1 "$GAME" --data_path "$DATA/" >"$WORK/headless$start.out" 2>&1 &
    PID=$!
    if ! wait_for 90 grep -q "First frame presented" "$LOG" 2>/dev/null; then
        fail "start $start: no frame: $(tail -n 5 "$WORK/headless$start.out")"
    fi
    stop_game "start $start"
    [ "$(names)" = "$WANT" ] && pass "start $start: two names, the repaired one numbered" ||
        fail "start $start: names$(names)"
    REPAIRS=$(grep -c "Profile name &quot;Nul${REPLACED}x-2&quot; held characters\|Profile name \"Nul${REPLACED}x-2\" held characters" "$LOG")
    if [ $start -eq 1 ]; then
        [ "$REPAIRS" -eq 1 ] && pass "start 1: the log names the repair" ||
            fail "start 1: $REPAIRS repairs logged: $(grep -i 'profile' "$LOG" | sed 's/<[^>]*>//g' | tail -n 5)"
    else
        [ "$REPAIRS" -eq 0 ] && pass "start $start: nothing left to repair" || fail "start $start: repaired again"
    fi
    grep -q 'currentProfile="Nul'"$REPLACED"'x-2"' "$USERDIR/profiles.xml" &&
        pass "start $start: the repaired profile stays current" ||
        fail "start $start: $(head -c 300 "$USERDIR/profiles.xml")"
done

command -v Xvfb >/dev/null 2>&1 && command -v xdotool >/dev/null 2>&1 && command -v import >/dev/null 2>&1 || {
    [ $FAILS -eq 0 ] || exit 1
    skip "no Xvfb, xdotool or import: the window is not driven"
}

# (b) Under X, in a 1366 x 768 window centred on the screen (its 1024 x 768 core 171 pixels in):
# the demo's might upgrade (steps of 15 and 35 crystals) stored without a level, its dart upgrade
# (10, 20 and 30) past its last step, 40 crystals.
start_xvfb 1920x1080 || exit 1
cat >"$USERDIR/profiles.xml" <<XML
<Profiles currentProfile="Ann">
    <Profile name="Player01234567890123456789" version="4"/>
    <Profile name="Ann" version="4"><fs v="0"/><mode v="0"/><tutorial avail="0"/><gems amount="40"/>
        <upgrades><upgrade id="1"/><upgrade id="2" level="5"/></upgrades></Profile>
</Profiles>
XML
rm -f "$LOG" "$FRAMES"
start_window window || { fail "no window: $(cat "$WORK/window.out")"; exit 1; }
now_on() { [ "$(grep -o 'Screen number: [0-9]*' "$LOG" | tail -1)" = "Screen number: $1" ]; }
saved() { grep -q "$1" "$USERDIR/profiles.xml" 2>/dev/null; }
# X Y CONDITION...: one click, a frame presented after it, then the state it leads to.
click_into() {
    _x=$1 _y=$2
    shift 2
    _before=$(frame_count)
    xdotool mousemove --window "$WID" "$_x" "$_y" click 1
    frames_after "$_before" 1 && wait_for 90 "$@"
}
shot() { import -window root -crop 1366x768+277+156 +repage "$WORK/$1.png"; }
# SHOT WxH+X+Y: the region the same in two shots with two frames presented between them.
at_rest() {
    shot "$1"
    _was=$(convert "$WORK/$1.png[$2]" -format "%#" info:)
    frames_after "$(frame_count)" 2 || return 1
    shot "$1"
    [ "$(convert "$WORK/$1.png[$2]" -format "%#" info:)" = "$_was" ]
}

# The logos and the intro give way to clicks; then the main menu's shop.
menu_or_click() {
    now_on 7 && return 0
    _before=$(frame_count)
    xdotool mousemove --window "$WID" 100 700 click 1
    frames_after "$_before" 3
    now_on 7
}
wait_for 120 menu_or_click || fail "no main menu: $(grep -o 'Screen number: [0-9]*' "$LOG" | tail -3 | tr '\n' ' ')"
if click_into 683 440 now_on 8 && wait_for 60 at_rest shop_before 800x520+171+150; then
    pass "the shop opens"
else fail "no shop: $(grep -o 'Screen number: [0-9]*' "$LOG" | tail -3 | tr '\n' ' ')"; fi
# The might plate offers its second step (35): bought, the file holds level 1 and 5 crystals.
if click_into 919 210 saved '<upgrade id="1" level="1"/>' && wait_for 60 saved '<gems amount="5"/>'; then
    pass "the purchase raised the level without a number to 1"
else fail "after the purchase: $(grep -o '<upgrade [^>]*>\|<gems [^>]*>' "$USERDIR/profiles.xml" | tr '\n' ' ')"; fi
saved '<upgrade id="2" level="5"/>' && pass "the level past the last step stays" || fail "the dart level changed"

# The reset asks; its OK, once the question has come to rest, refunds 15 + 35 and 10 + 20 + 30.
if click_into 1010 692 now_on 26 && wait_for 60 at_rest confirm 300x60+411+506; then
    pass "the reset asks first"
else fail "no confirmation: $(grep -o 'Screen number: [0-9]*' "$LOG" | tail -3 | tr '\n' ' ')"; fi
REFUND='<gems amount="115"/>'
if click_into 561 536 now_on 8 && wait_for 60 saved "$REFUND"; then
    pass "the confirmation refunds every step up to the last"
else fail "after the reset: $(grep -o '<upgrade [^>]*>\|<gems [^>]*>' "$USERDIR/profiles.xml" | tr '\n' ' ')"; fi
wait_for 60 at_rest shop_after 800x520+171+150 || fail "the shop did not come to rest after the reset"
# The reset is the first to read the dart level, which the log tells.
grep -q 'level="5" of &lt;upgrade id="2"&gt; is past' "$LOG" &&
    pass "the log tells the level past the last step" ||
    fail "the level past the last step untold: $(grep -i 'upgrade' "$LOG" | sed 's/<[^>]*>//g' | tail -n 3)"
stop_game window
for id in 1 2; do
    saved "<upgrade id=\"$id\" level=\"-1\"/>" && pass "upgrade $id stored as none bought" ||
        fail "upgrade $id: $(grep -o "<upgrade id=\"$id\"[^>]*>" "$USERDIR/profiles.xml")"
done
saved "$REFUND" && pass "the refunded crystals kept at exit" ||
    fail "crystals at exit: $(grep -o '<gems [^>]*>' "$USERDIR/profiles.xml")"

[ $FAILS -eq 0 ] || { echo "$FAILS failed"; exit 1; }
