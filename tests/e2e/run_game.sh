#!/bin/sh
# End-to-end: the real game under Xvfb, driven with xdotool, checked through what the screen shows
# (known elements of the demo content at their places, in their colours) and the files it writes
# (log.html without an error line, profiles.xml). Usage: run_game.sh BRACKENMOOR DATA_FOLDER WORK_FOLDER,
# with QL_WM_CLOSE naming the program that closes a window as a window manager does (wm_close).
set -u
. "$(dirname "$0")/common.sh"
check() { # WHAT COMMAND...: passes when the command succeeds
    what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

start_xvfb 1920x1080 || exit 1

# 1. A malformed command line is refused at once.
if "$GAME" --data_path >"$WORK/bad.out" 2>&1; then fail "malformed command line accepted"
elif grep -q "usage" "$WORK/bad.out"; then pass "malformed command line refused"
else fail "no usage message: $(cat "$WORK/bad.out")"; fi

# 2. Without play.url the game stops before any window, logging why.
mkdir -p "$WORK/noplay" && cp "$DATA/data.dat" "$WORK/noplay/"
if "$GAME" --data_path "$WORK/noplay/" >"$WORK/noplay.out" 2>&1; then fail "started without play.url"
elif grep -q "File play.url not found!" "$LOG"; then pass "missing play.url logged, exit non-zero"
else fail "missing play.url not logged"; fi
rm -f "$LOG" "$USERDIR/profiles.xml"

player() { # NAME [EXTRA]: the current player, windowed (the first profile is the unnamed default)
    cat >"$USERDIR/profiles.xml" <<XML
<Profiles currentProfile="$1">
    <Profile name="Player01234567890123456789" version="4"/>
    <Profile name="$1" version="4"><fs v="0"/>${2:-}</Profile>
</Profiles>
XML
}
start_game() { # OUT: the game in the background with a fresh log; PID, and WID once its window shows
    rm -f "$LOG" "$FRAMES"
    start_window "$1"
}
# Not one line of the log in the error style.
log_clean() {
    if grep -q 'class="error"' "$LOG"; then
        grep -A1 'class="error"' "$LOG" | sed 's/<[^>]*>//g'
        return 1
    fi
}
# The game logs each screen number: 7 main menu, 8 shop, 5 episodes, 6 levels, 11 unlock message,
# 4 in-game menu.
on() { grep -q "Screen number: $1\." "$LOG" 2>/dev/null; }
now_on() { [ "$(grep -o 'Screen number: [0-9]*' "$LOG" | tail -1)" = "Screen number: $1" ]; }
started() { grep -q "Battle started" "$LOG" 2>/dev/null; }
click() { xdotool mousemove --window "$WID" "$1" "$2" click 1; }
# CONDITION X Y: one click at (x, y) unless the condition already holds, then three frames for it
# (the first may have begun before the click came; the one that takes the click logs the screen it
# opens).
clicked_into() {
    $1 && return 0
    click "$2" "$3"
    frames_after "$(frame_count)" 3
    $1 || { echo "note: nothing came of the click at ($2, $3) within three frames"; return 1; }
}
click_until() { # SCREEN X Y: clicks at (x, y) until the screen is the open one
    wait_for 90 clicked_into "now_on $1" "$2" "$3"
}
menu_or_battle() { on 11 || started; }
to_menu() { wait_for 120 clicked_into "on 7" 100 700; }
to_first_battle() {
    click_until 5 683 333 && click_until 6 683 333 &&
        wait_for 90 clicked_into menu_or_battle 300 270 && wait_for 90 clicked_into started 683 524
}

# The window's picture: the 1366 x 768 layout, its 1024 x 768 core 171 pixels in.
shot() { import -window root -crop 1366x768+277+156 +repage "$WORK/$1.png"; }
# SHOT COMMAND...: the shot taken again until the command holds on it (it keeps the last one).
shot_once() { _shot=$1; shift; shot "$_shot" && "$@"; }
shot_until() { wait_for 60 shot_once "$@"; }
# SHOT REGION BASE: the region differs from the base shot and is the same in a shot taken after
# two more frames were presented: what a click opened has finished moving in.
settled() {
    shot "$1"
    _was=$(convert "$WORK/$1.png[$2]" -format "%#" info:)
    frames_after "$(frame_count)" 2 || return 1
    shot "$1"
    differs "$3" "$1" "$2" && [ "$(convert "$WORK/$1.png[$2]" -format "%#" info:)" = "$_was" ]
}
rgb() { # SHOT X Y: "r g b", 0 to 255
    convert "$WORK/$1.png" -crop "1x1+$2+$3" +repage -format "%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]" info:
}
# Colours of the demo content: the gold of frames, rims and lit buttons; the slate of unlit ones;
# the dirt of the roads.
gold() { set -- $(rgb "$@"); [ "$1" -gt 190 ] && [ "$2" -gt 140 ] && [ "$3" -lt 130 ]; }
slate() { set -- $(rgb "$@"); [ "$1" -lt 110 ] && [ "$2" -lt 120 ] && [ "$3" -lt 120 ]; }
dirt() { set -- $(rgb "$@"); [ "$1" -gt "$2" ] && [ "$2" -gt "$3" ] && [ "$1" -gt 120 ] && [ "$1" -lt 200 ]; }
count() { # SHOT WxH+X+Y EXPRESSION: pixels of the region for which the fx expression holds
    convert "$WORK/$1.png" -crop "$2" +repage -fx "$3" -format "%[fx:int(mean*w*h+0.5)]" info:
}
brighter() { # BEFORE AFTER X Y: red and green risen by more than 10 at the point
    set -- $(rgb "$1" "$3" "$4") $(rgb "$2" "$3" "$4")
    [ $(($4 - $1)) -gt 10 ] && [ $(($5 - $2)) -gt 10 ]
}
darker() { # BEFORE AFTER WxH+X+Y: the region's mean brightness fell by a tenth or more
    b=$(convert "$WORK/$1.png" -crop "$3" +repage -format "%[fx:mean]" info:)
    a=$(convert "$WORK/$2.png" -crop "$3" +repage -format "%[fx:mean]" info:)
    awk -v b="$b" -v a="$a" 'BEGIN { exit !(a < b * 0.9) }'
}
differs() { # SHOT SHOT WxH+X+Y: the region changed
    [ "$(compare -metric AE "$WORK/$1.png[$3]" "$WORK/$2.png[$3]" null: 2>&1)" != "0" ]
}

mkdir -p "$USERDIR"
player Tester '<tutorial avail="0"/>'

# 3. The game starts: a 1366 x 768 window centred on the screen.
start_game game || { fail "no window"; cat "$WORK/game.out"; exit 1; }
wait_for 90 grep -q "First frame presented" "$LOG"
GEOMETRY=$(xdotool getwindowgeometry "$WID" | tr -d '\n')
case "$GEOMETRY" in
*"Position: 277,156"*"Geometry: 1366x768"*) pass "window 1366x768 centred" ;;
*) fail "window placement: $GEOMETRY" ;;
esac
TITLE=$(xdotool getwindowname "$WID")
[ "$TITLE" = "Brackenmoor" ] && pass "window title '$TITLE'" || fail "window title '$TITLE'"

# 3a. The main menu: the golden title, and the rims of Play, Shop, Options, Profiles and Exit
# down the middle of the core.
menu_drawn() {
    TITLE_PIXELS=$(count menu 760x130+303+48 'r>0.78 && g>0.62 && b<0.67')
    RIMS=0
    for at in "554 332" "564 440" "564 520" "564 600" "564 680"; do gold menu $at && RIMS=$((RIMS + 1)); done
    [ "$TITLE_PIXELS" -gt 8000 ] && [ $RIMS -eq 5 ]
}
to_menu
shot_until menu menu_drawn
check "the title is drawn ($TITLE_PIXELS golden pixels)" [ "$TITLE_PIXELS" -gt 8000 ]
check "the five menu buttons have their rims ($RIMS)" [ $RIMS -eq 5 ]

# 3b. Shop and back: its panel and back button stand where the menu had none.
shop_drawn() {
    SHOP=0
    for at in "292 400" "1090 400" "243 692"; do gold shop $at && SHOP=$((SHOP + 1)); done
    [ $SHOP -eq 3 ]
}
click_until 8 683 440
shot_until shop shop_drawn
check "the shop's panel and back button ($SHOP of 3)" [ $SHOP -eq 3 ]
click_until 7 341 692

# 3c. Into the first battle: the field with its road, the HUD's coin counter in gold, and the
# control buttons with play lit.
battle_drawn() {
    ROAD=0
    for at in "381 250" "571 420" "771 300" "961 540"; do dirt battle $at && ROAD=$((ROAD + 1)); done
    COINS=$(count battle 90x34+230+14 'r>0.9 && g>0.7 && b<0.5')
    [ $ROAD -eq 4 ] && [ "$COINS" -gt 60 ] && gold battle 1025 32 && slate battle 1083 32
}
to_first_battle
check "the first battle started from the menus" started
shot_until battle battle_drawn
check "the road under the level's points ($ROAD of 4)" [ $ROAD -eq 4 ]
check "the coin counter is drawn ($COINS gold pixels)" [ "$COINS" -gt 60 ]
gold battle 1025 32 && slate battle 1083 32 && pass "play is lit, fast is not" || fail "the control buttons: play $(rgb battle 1025 32), fast $(rgb battle 1083 32)"

# 3d. A tower on the spot at core (330, 300): its ring menu, then its first tower (the entry on
# the left, clicked once the ring has opened); the spot and the coin counter change.
click 501 298
check "the ring menu opened on the spot" wait_for 60 settled ring 60x60+391+260 battle
tower_built() { differs battle tower 60x50+471+275 && differs battle tower 90x34+230+14; }
click 421 300
shot_until tower tower_built
check "a tower stands on the spot" differs battle tower 60x50+471+275
check "the coin counter changed" differs battle tower 90x34+230+14

# 3e. A spell chosen from its slot lights the roads: the path picture's dots on the level's points
# (a walking unit may hide one of them).
glowing() {
    GLOW=0
    for at in "381 250" "571 420" "771 300" "961 540"; do brighter battle spell $at && GLOW=$((GLOW + 1)); done
    [ $GLOW -ge 3 ]
}
click 224 725
xdotool mousemove --window "$WID" 560 640
shot_until spell glowing
check "the roads glow under a waiting spell ($GLOW of 4 points)" [ $GLOW -ge 3 ]
# Cast on the field: the slot darkens while it recharges, and the glow goes.
cast_done() {
    GONE=0
    for at in "381 250" "571 420"; do brighter battle cast $at || GONE=$((GONE + 1)); done
    darker spell cast 60x60+194+695 && [ $GONE -eq 2 ]
}
click 580 640
shot_until cast cast_done
check "the cast spell's slot recharges" darker spell cast 60x60+194+695
check "the glow is gone once cast" [ $GONE -eq 2 ]

# 3f. Fast: its button lights and play's goes out; the options button opens the in-game menu,
# whose main-menu item leaves the level once the confirmation's OK is clicked (each clicked once
# its panel has come to rest).
fast_lit() { gold fast 1083 32 && slate fast 1025 32; }
click 1097 32
shot_until fast fast_lit
fast_lit && pass "fast is lit, play is not" ||
    fail "the control buttons: play $(rgb fast 1025 32), fast $(rgb fast 1083 32)"
click_until 4 1155 32
check "the options button opened the in-game menu" now_on 4
check "the in-game menu came to rest" wait_for 60 settled pause 300x60+533+550 fast
click 683 580
check "the confirmation came to rest" wait_for 60 settled confirm 300x60+411+506 pause
click 561 536
check "left the level for the main menu after the confirmation" wait_for 60 now_on 7

# 4. A second copy exits at once and leaves the profiles alone.
PROFILES_BEFORE=$(md5sum <"$USERDIR/profiles.xml")
cp "$LOG" "$WORK/first.log"
timeout 90 "$GAME" --data_path "$DATA/" >"$WORK/second.out" 2>&1
CODE=$?
[ $CODE -eq 0 ] && pass "second copy exits" || fail "second copy: code $CODE"
[ "$(md5sum <"$USERDIR/profiles.xml")" = "$PROFILES_BEFORE" ] && pass "second copy left the profiles alone" ||
    fail "second copy touched profiles.xml"
kill -0 $PID 2>/dev/null && pass "first copy still runs" || fail "first copy died"

# 5. Alt+Enter switches to full screen and back, stored in the profile.
xdotool key --window "$WID" alt+Return
check "Alt+Enter stored full screen" wait_for 60 grep -q '<fs v="1"' "$USERDIR/profiles.xml"
xdotool key --window "$WID" alt+Return
check "Alt+Enter back to windowed" wait_for 60 grep -q '<fs v="0"' "$USERDIR/profiles.xml"

# 6. Closing the window as a window manager does ends the program with exit code 0, the files in
# place and the log free of errors, its last word naming the close request.
if "$QL_WM_CLOSE" "$WID" && wait_for 60 ended; then
    wait $PID
    CODE=$?
else
    stop_game close
    fail "the window's close request did not end the game"
fi
[ "$CODE" = 0 ] && pass "exit code 0 on close" || fail "exit code $CODE on close"
check "the log says the window's close request ended the game" ended_by "the window's close request"
# Frames are paced to the display (about 60 a second under Xvfb), not drawn as fast as possible.
FPS=$(sed -n 's/.*Main loop ended: \([0-9]*\) frames in \([0-9.]*\) s.*/\1 \2/p' "$LOG" | awk '{printf "%d", $1 / $2}')
[ -n "$FPS" ] && [ "$FPS" -le 75 ] && pass "frames paced ($FPS a second)" || fail "frames not paced: '$FPS' a second"
check "profiles.xml written" grep -q "currentProfile" "$USERDIR/profiles.xml"
check "no error in the log" log_clean

# 7. The tutorial: a player who has not skipped it meets its first page over the first battle:
# the page's panel (core 262..762 x 56..183) in its dark peat beside the text, at core (300, 150).
player Pupil
start_game tutorial || { fail "the tutorial's game: no window"; cat "$WORK/tutorial.out"; exit 1; }
to_menu
to_first_battle
tutorial_page() {
    PAGE=$(rgb tutorial 471 150)
    case "$(echo "$PAGE" | tr ' ' ,)" in [34][0-9],[456][0-9],[45][0-9]) ;; *) return 1 ;; esac
}
shot_until tutorial tutorial_page && pass "the first tutorial page lies over the battle" ||
    fail "no tutorial page at its place (pixel $PAGE)"
stop_game tutorial
check "no error in the tutorial's log" log_clean

[ $FAILS -eq 0 ] || { echo "$FAILS check(s) failed"; cat "$WORK/game.out"; exit 1; }
