#!/bin/sh
# Runs ctest in a build folder; appends its pass/fail counts to a tally file.
# usage: ctest-summary.sh BUILD_DIR TALLY_FILE
set -e
BUILD=$1
TALLY=$2
mkdir -p "$(dirname "$TALLY")"
out=$(mktemp "$BUILD/.ctest-summary.XXXXXX")
status=0
(cd "$BUILD" && ctest --output-on-failure -j "$(nproc)") >"$out" 2>&1 || status=$?
cat "$out"
line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$out" | tail -1 || true)
if [ -n "$line" ]; then
    failed=$(echo "$line" | sed -E 's/.*, ([0-9]+) tests failed out of ([0-9]+).*/\1/')
    total=$(echo "$line" | sed -E 's/.*failed out of ([0-9]+).*/\1/')
    echo "$((total - failed)) $failed" >>"$TALLY"
fi
rm -f "$out"
exit $status
