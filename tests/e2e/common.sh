# Sourced by the end-to-end scripts: their arguments (BRACKENMOOR DATA_FOLDER WORK_FOLDER), a fresh
# work folder, the game's environment, the log's place, pass and fail counting, wait_for and the
# steady clock (tests/support/wait.sh), the frame count, start_xvfb and xvfb_mend, skip.
GAME=$1
DATA=$2
WORK=$3
rm -rf "$WORK" && mkdir -p "$WORK"
# A script that ends early (a failed step, an error of the shell's own, a signal) takes what it
# started with it: its children not yet waited for, so no other process's reused id is hit. The
# list goes through a file: a command substitution's subshell has no jobs. start_xvfb's trap runs
# this too.
ON_EXIT='jobs -p >"$WORK/jobs"; kill -KILL $(cat "$WORK/jobs") 2>/dev/null'
trap 'eval "$ON_EXIT"' EXIT
trap 'exit 1' INT TERM
# No sound card under Xvfb: SDL's silent device, so that a missing card is no error in the log.
export XDG_DATA_HOME="$WORK/xdg" QL_NO_SHELL_OPEN=1 QL_NO_MESSAGE_BOX=1 SDL_AUDIODRIVER=dummy
# The lock of a user-data folder that cannot be used goes here, not to the system's folders.
mkdir -p "$WORK/run" && chmod 700 "$WORK/run"
export XDG_RUNTIME_DIR="$WORK/run"
USERDIR="$XDG_DATA_HOME/Marrowgate/Brackenmoor"
LOG="$USERDIR/log.html"
FAILS=0
fail() { echo "FAIL: $*"; FAILS=$((FAILS + 1)); }
pass() { echo "ok: $*"; }
. "$(dirname "$0")/../support/wait.sh"
# The game rewrites this file with the number of frames it has presented: the scripts wait on it
# for a frame drawn after their input, however slow the frames come.
FRAMES="$WORK/frames"
export QL_FRAME_COUNT_FILE="$FRAMES"
frame_count() {
    _n=$(cat "$FRAMES" 2>/dev/null)
    case "$_n" in '' | *[!0-9]*) echo 0 ;; *) echo "$_n" ;; esac
}
# frames_after COUNT N: waits until N frames more than COUNT have been presented; false when the
# game ($PID) has ended or they did not come within a minute ($FRAMES_PATIENCE seconds), and says
# which (once for an ended game): its exit status, or the frame count it stalled at.
FRAMES_PATIENCE=${FRAMES_PATIENCE:-60}
frames_after() {
    _by=$(($(steady_centis) + FRAMES_PATIENCE * 100))
    while [ "$(frame_count)" -lt $(($1 + $2)) ]; do
        if ! kill -0 "$PID" 2>/dev/null; then
            wait "$PID"
            _status=$?
            # Its last frames may have come as it ended, between the two looks.
            [ "$(frame_count)" -ge $(($1 + $2)) ] && return 0
            [ "${_ended_told:-}" = "$PID" ] && return 1
            _ended_told=$PID
            echo "note: the game ended (exit status $_status) at frame $(frame_count), waiting for frame $(($1 + $2))"
            return 1
        fi
        if [ "$(steady_centis)" -ge "$_by" ]; then
            echo "note: the game still runs but stalled at frame $(frame_count) for $FRAMES_PATIENCE s, waiting for frame $(($1 + $2))"
            return 1
        fi
        sleep 0.05
    done
}
# The profiles file's inode, empty when there is none: each save renames a new file over it.
profiles_inode() { stat -c %i "$USERDIR/profiles.xml" 2>/dev/null; }
# saved_over INODE: profiles.xml is no longer that file (a save has reached the disk since), or the
# game ($PID) has ended.
saved_over() { [ "$(profiles_inode)" != "$1" ] || ended; }
# ended_by CAUSE: the log's last word on the main loop names that cause of its end.
ended_by() { grep -q "Main loop ended: .*; cause: $1" "$LOG"; }
# ended: the game ($PID) has ended.
ended() { ! kill -0 "$PID" 2>/dev/null; }
# stop_game WHAT: SIGTERM to the game ($PID), then its exit status in CODE; a game that does not
# end within a minute is killed, CODE is "hung" and a failure is told.
stop_game() {
    kill -TERM "$PID"
    if wait_for 60 ended; then
        wait "$PID"
        CODE=$?
    else
        kill -KILL "$PID"
        wait "$PID"
        CODE=hung
        fail "$1: SIGTERM did not end the game"
    fi
}
# window_or_end: the game's ($PID) window shows (its id in WID), or the game has ended.
window_or_end() {
    WID=$(xdotool search --onlyvisible --pid "$PID" 2>/dev/null | head -1)
    [ -n "$WID" ] || ! kill -0 "$PID" 2>/dev/null
}
# start_window OUT: the game on the X server in the background, its terminal output in
# WORK/OUT.out; PID, and WID once its window shows. A game without a window is said to have ended
# (with its exit status) or to show none within 90 s, and is tried again on a mended X server
# (xvfb_mend), three times in all; false when no try showed a window.
start_window() {
    for _try in 1 2 3; do
        "$GAME" --data_path "$DATA/" >"$WORK/$1.out" 2>&1 &
        PID=$!
        WID=""
        wait_for 90 window_or_end
        [ -n "$WID" ] && return 0
        if kill -0 "$PID" 2>/dev/null; then
            echo "note: no window on try $_try within 90 s, the game still runs: $(tr '\n' ' ' <"$WORK/$1.out")"
            kill "$PID"
            wait "$PID"
        else
            wait "$PID"
            echo "note: no window on try $_try, the game ended (exit status $?): $(tr '\n' ' ' <"$WORK/$1.out")"
        fi
        xvfb_mend || return 1
    done
    return 1
}
. "$(dirname "$0")/../support/xvfb.sh"
. "$(dirname "$0")/../support/ci.sh"
