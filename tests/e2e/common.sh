# Sourced by the end-to-end scripts: their arguments (BRACKENMOOR DATA_FOLDER WORK_FOLDER), a fresh
# work folder, the game's environment, the log's place, pass and fail counting, start_xvfb, skip.
GAME=$1
DATA=$2
WORK=$3
rm -rf "$WORK" && mkdir -p "$WORK"
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
# wait_for SECONDS COMMAND...: runs the command every tenth of a second until it holds or the
# seconds have passed (then its last result). Every wait on the game is one of these: under ASan
# on a loaded machine a frame can take a second, so the limits are generous.
wait_for() {
    _until=$(($(date +%s) + $1))
    shift
    while ! "$@"; do
        [ "$(date +%s)" -ge "$_until" ] && return 1
        sleep 0.1
    done
}
# The game rewrites this file with the number of frames it has presented: the scripts wait on it
# for a frame drawn after their input, however slow the frames come.
FRAMES="$WORK/frames"
export QL_FRAME_COUNT_FILE="$FRAMES"
frame_count() {
    _n=$(cat "$FRAMES" 2>/dev/null)
    case "$_n" in '' | *[!0-9]*) echo 0 ;; *) echo "$_n" ;; esac
}
# frames_after COUNT N: waits until N frames more than COUNT have been presented; false when the
# game ($PID) has ended or they did not come within a minute.
frames_after() {
    _by=$(($(date +%s) + 60))
    while [ "$(frame_count)" -lt $(($1 + $2)) ]; do
        kill -0 "$PID" 2>/dev/null || return 1
        [ "$(date +%s)" -ge "$_by" ] && return 1
        sleep 0.05
    done
}
. "$(dirname "$0")/../support/xvfb.sh"
. "$(dirname "$0")/../support/ci.sh"
