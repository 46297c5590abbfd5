#!/bin/sh
# Runs a command on a fresh Xvfb of the given size: with_xvfb.sh WIDTHxHEIGHT COMMAND...
set -u
SIZE=$1
shift
# Named after this process, so that the test folders' sweep removes it should this be killed.
WORK="${QL_TEST_TMP:-${TMPDIR:-/tmp}}/p$$-xvfb"
mkdir -p "$WORK"
ON_EXIT='rm -rf "$WORK"'
. "$(dirname "$0")/../support/xvfb.sh"
start_xvfb "$SIZE" || exit 1
"$@"
