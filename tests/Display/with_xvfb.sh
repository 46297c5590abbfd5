#!/bin/sh
# Runs a command on a fresh Xvfb of the given size: with_xvfb.sh WIDTHxHEIGHT COMMAND...
# A command that fails while the server has ended or takes no connection is said so and run again
# on a new server, three times at most.
set -u
SIZE=$1
shift
# Named after this process, so that the test folders' sweep removes it should this be killed.
WORK="${QL_TEST_TMP:-${TMPDIR:-/tmp}}/p$$-xvfb"
mkdir -p "$WORK"
ON_EXIT='rm -rf "$WORK"'
. "$(dirname "$0")/../support/wait.sh"
. "$(dirname "$0")/../support/xvfb.sh"
start_xvfb "$SIZE" || exit 1
for try in 1 2 3; do
    "$@"
    status=$?
    [ $status -eq 0 ] && exit 0
    xvfb_answers && exit $status
    echo "note: try $try failed (exit $status) without a working X server"
    xvfb_mend || exit 1
done
exit $status
