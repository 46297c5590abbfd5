#!/bin/sh
# End-to-end, without a display: what the real executable tells when it cannot start or cannot
# save, and building the packs from any working folder. Usage: start_fail.sh BRACKENMOOR DATA WORK
set -u
. "$(dirname "$0")/common.sh"
export QL_HEADLESS=1

# A copy of the data folder: data.dat copied (to be damaged), the rest linked.
mkdir -p "$WORK/damaged"
for entry in "$DATA"/*; do
    if [ "$(basename "$entry")" = data.dat ]; then cp "$entry" "$WORK/damaged/"; else ln -s "$entry" "$WORK/damaged/"; fi
done

# A pack whose first bytes are overwritten: the player is told which pack and what is wrong, and
# the program ends with a failure instead of an empty game. It ends by itself; timeout only
# guards against a hang.
printf 'XXXXXXXXXX' | dd of="$WORK/damaged/data.dat" bs=1 conv=notrunc 2>/dev/null
timeout 300 "$GAME" --data_path "$WORK/damaged/" >"$WORK/damaged.out" 2>&1
CODE=$?
if [ $CODE -eq 0 ] || [ $CODE -eq 124 ]; then fail "a damaged pack: exit $CODE"
elif grep -q "data.dat' is damaged (it is not a pack" "$WORK/damaged.out" &&
    grep -q "td/strings_en.csv" "$WORK/damaged.out" && grep -q "data.dat' is damaged" "$LOG"; then
    pass "a damaged pack is named on the terminal and in the log, exit $CODE"
else fail "a damaged pack: exit $CODE: $(cat "$WORK/damaged.out")"; fi

# A user-data folder that cannot be made (a file stands where its parent would be): said on the
# terminal, since no log can be written there, and the game runs on until it is closed.
: >"$WORK/xdgfile"
XDG_DATA_HOME="$WORK/xdgfile" QL_LOG_STDERR=1 "$GAME" --data_path "$DATA/" >"$WORK/unsaved.out" 2>&1 &
PID=$!
wait_for 90 sh -c "grep -q 'First frame presented' '$WORK/unsaved.out' || ! kill -0 $PID 2>/dev/null"
if ! grep -q "First frame presented" "$WORK/unsaved.out"; then fail "unsaved: the game did not start"
elif grep -q "brackenmoor: progress will not be saved: the user-data folder '$WORK/xdgfile/Marrowgate/Brackenmoor/' cannot be created ('$WORK/xdgfile'" "$WORK/unsaved.out" &&
    grep -q "brackenmoor: the log '$WORK/xdgfile/Marrowgate/Brackenmoor/log.html' cannot be written" "$WORK/unsaved.out"; then
    pass "a user-data folder that cannot be made is told, and the game plays"
else fail "unsaved: $(cat "$WORK/unsaved.out")"; fi
kill -TERM $PID 2>/dev/null
wait $PID
CODE=$?
[ $CODE -eq 0 ] && pass "unsaved: the game ends normally" || fail "unsaved: exit $CODE"

# The pack builds below must leave the player's files (those of the damaged run) as they are.
mkdir -p "$WORK/before"
cp -p "$USERDIR/log.html" "$USERDIR/profiles.xml" "$WORK/before/" 2>/dev/null

# "--pack" after "--data_path", from another working folder: a damaged pack is rebuilt from td/,
# and what was built is printed.
mkdir -p "$WORK/packdata/td/sub" "$WORK/elsewhere"
cp "$DATA/play.url" "$WORK/packdata/"
printf 'a' >"$WORK/packdata/td/a.txt"
printf 'bc' >"$WORK/packdata/td/sub/b.txt"
printf 'XXXXXXXXXX' >"$WORK/packdata/data.dat"
(cd "$WORK/elsewhere" && "$GAME" --data_path "$WORK/packdata/" --pack td) >"$WORK/pack.out" 2>"$WORK/pack.err"
CODE=$?
MAGIC=$(head -c 10 "$WORK/packdata/data.dat" | tail -c 6)
if [ $CODE -eq 0 ] && [ "$MAGIC" = qlpack ] &&
    grep -q "built '$WORK/packdata/data.dat' from '$WORK/packdata/td/' (2 files)" "$WORK/pack.out"; then
    pass "--data_path FOLDER --pack td builds from another working folder"
else fail "--pack: exit $CODE, magic '$MAGIC': $(cat "$WORK/pack.out" "$WORK/pack.err")"; fi

# A build that cannot write its pack (no byte fits under the file-size limit) says why and fails;
# the old pack stays and no temporary file is left. The game's output goes through a pipe, which
# the limit does not bind.
cp "$WORK/packdata/data.dat" "$WORK/pack.before"
{
    (cd "$WORK/elsewhere" && ulimit -f 0 && exec "$GAME" --data_path "$WORK/packdata/" --pack td) 2>&1
    echo $? >"$WORK/pack.code"
} | cat >"$WORK/pack.err"
CODE=$(cat "$WORK/pack.code")
if [ "$CODE" -eq 1 ] && cmp -s "$WORK/pack.before" "$WORK/packdata/data.dat" &&
    [ -z "$(find "$WORK/packdata" -maxdepth 1 -name 'data.dat.tmp*')" ] &&
    grep -q "cannot build '$WORK/packdata/data.dat' from '$WORK/packdata/td/': Cannot write the index of '.*data.dat.tmp': File too large" "$WORK/pack.err"; then
    pass "a pack that cannot be written is told, exit 1"
else fail "--pack failure: exit $CODE: $(cat "$WORK/pack.err")"; fi

# Whatever stands at the pack's temporary name (a folder, a link to the pack) is left as it is:
# the pack is built beside it.
for LEFTOVER in folder link; do
    if [ $LEFTOVER = folder ]; then mkdir "$WORK/packdata/data.dat.tmp"; else ln -s data.dat "$WORK/packdata/data.dat.tmp"; fi
    (cd "$WORK/elsewhere" && "$GAME" --data_path "$WORK/packdata/" --pack td) >"$WORK/pack.out" 2>"$WORK/pack.err"
    CODE=$?
    MAGIC=$(head -c 10 "$WORK/packdata/data.dat" | tail -c 6)
    if [ $CODE -eq 0 ] && [ "$MAGIC" = qlpack ] && [ ! -L "$WORK/packdata/data.dat" ] &&
        { [ -d "$WORK/packdata/data.dat.tmp" ] || [ -L "$WORK/packdata/data.dat.tmp" ]; } &&
        [ "$(find "$WORK/packdata" -maxdepth 1 -name 'data.dat.tmp*' | wc -l)" -eq 1 ]; then
        pass "a $LEFTOVER at the pack's temporary name is left alone, the pack built beside it"
    else fail "a $LEFTOVER at data.dat.tmp: exit $CODE, magic '$MAGIC', $(ls -l "$WORK/packdata"): $(cat "$WORK/pack.err")"; fi
    rm -rf "$WORK/packdata/data.dat.tmp"
done

# Without "--data_path" the data folder is the executable's own, whatever the working folder.
mkdir -p "$WORK/exe"
ln "$GAME" "$WORK/exe/brackenmoor" 2>/dev/null || cp "$GAME" "$WORK/exe/brackenmoor"
cp -r "$WORK/packdata/td" "$WORK/packdata/play.url" "$WORK/exe/"
(cd "$WORK/elsewhere" && "$WORK/exe/brackenmoor" --pack td) >"$WORK/pack.out" 2>"$WORK/pack.err"
CODE=$?
if [ $CODE -eq 0 ] && grep -q "built '$WORK/exe/data.dat'" "$WORK/pack.out" && [ -s "$WORK/exe/data.dat" ]; then
    pass "--pack alone builds in the executable's folder"
else fail "--pack alone: exit $CODE: $(cat "$WORK/pack.out" "$WORK/pack.err")"; fi

# Building packs leaves the player's files alone: each is as it was, or still absent.
TOUCHED=
for name in log.html profiles.xml; do
    if [ -e "$WORK/before/$name" ]; then cmp -s "$WORK/before/$name" "$USERDIR/$name" || TOUCHED="$TOUCHED $name"
    elif [ -e "$USERDIR/$name" ]; then TOUCHED="$TOUCHED $name"; fi
done
if [ -f "$WORK/before/log.html" ] && [ -z "$TOUCHED" ]; then
    pass "the pack builds left the player's log and profiles as they were"
else fail "the pack builds touched:$TOUCHED"; fi

# File names that are not UTF-8 (Latin-1 bytes) stay the system's bytes: the data folder opens,
# and the user-data folder is made under exactly the name asked for, through XDG_DATA_HOME or HOME.
LATIN=$(printf 'caf\351')
mkdir -p "$WORK/data-$LATIN" "$WORK/home-$LATIN"
for entry in "$DATA"/*; do ln -s "$entry" "$WORK/data-$LATIN/"; done
for via in XDG_DATA_HOME HOME; do
    if [ $via = XDG_DATA_HOME ]; then
        USER_LATIN="$WORK/xdg-$LATIN/Marrowgate/Brackenmoor"
        env XDG_DATA_HOME="$WORK/xdg-$LATIN" QL_LOG_STDERR=1 "$GAME" --data_path "$WORK/data-$LATIN/" >"$WORK/latin-$via.out" 2>&1 &
    else
        USER_LATIN="$WORK/home-$LATIN/.local/share/Marrowgate/Brackenmoor"
        env -u XDG_DATA_HOME HOME="$WORK/home-$LATIN" QL_LOG_STDERR=1 "$GAME" --data_path "$WORK/data-$LATIN/" >"$WORK/latin-$via.out" 2>&1 &
    fi
    PID=$!
    wait_for 120 sh -c "grep -q 'First frame presented' '$WORK/latin-$via.out' || ! kill -0 $PID 2>/dev/null"
    kill -TERM $PID 2>/dev/null
    wait $PID
    CODE=$?
    MANGLED=$(find "$WORK" -name "*$(printf '\357\277\275')*" | head -n 1)
    if [ $CODE -eq 0 ] && grep -q "First frame presented" "$USER_LATIN/log.html" && [ -s "$USER_LATIN/profiles.xml" ] &&
        [ -z "$MANGLED" ]; then
        pass "a Latin-1 data folder and $via: the game plays and keeps its files under the same bytes"
    else fail "Latin-1 through $via: exit $CODE, mangled '$MANGLED': $(tail -n 20 "$WORK/latin-$via.out")"; fi
done

# A Latin-1 data folder's packs are built and named on the terminal with the same bytes.
mkdir -p "$WORK/pack-$LATIN/td"
cp "$DATA/play.url" "$WORK/pack-$LATIN/"
printf 'a' >"$WORK/pack-$LATIN/td/a.txt"
"$GAME" --data_path "$WORK/pack-$LATIN/" --pack td >"$WORK/pack.out" 2>"$WORK/pack.err"
CODE=$?
if [ $CODE -eq 0 ] && [ -s "$WORK/pack-$LATIN/data.dat" ] &&
    grep -q "built '$WORK/pack-$LATIN/data.dat' from '$WORK/pack-$LATIN/td/' (1 files)" "$WORK/pack.out"; then
    pass "a Latin-1 data folder's packs are built"
else fail "Latin-1 --pack: exit $CODE: $(cat "$WORK/pack.out" "$WORK/pack.err")"; fi

[ $FAILS -eq 0 ] || { echo "$FAILS failed"; exit 1; }
