# Sourced by the test scripts: deadlines on the kernel's boot-time clock (/proc/uptime), which the
# wall clock's steps do not move; `date` and the shell's $SECONDS follow the wall clock.
# steady_centis: now on that clock, in hundredths of a second.
steady_centis() {
    read -r _up _ </proc/uptime
    _frac=${_up#*.}
    echo $((${_up%%.*} * 100 + 1${_frac} - 100))
}
# wait_for SECONDS COMMAND...: runs the command every tenth of a second until it holds or the
# seconds have passed (then its last result). Every wait on the game is one of these: under ASan
# on a loaded machine a frame can take a second, so the limits are generous.
wait_for() {
    _until=$(($(steady_centis) + $1 * 100))
    shift
    while ! "$@"; do
        [ "$(steady_centis)" -ge "$_until" ] && return 1
        sleep 0.1
    done
}
