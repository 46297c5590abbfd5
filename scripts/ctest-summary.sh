#!/bin/sh
# Runs ctest in a build folder; appends its counts (passed, failed, skipped tests, cases skipped
# inside test programs) to a tally file and lists every skip, so that none passes unseen.
# usage: ctest-summary.sh BUILD_DIR TALLY_FILE
set -e
BUILD=$1
TALLY=$2
mkdir -p "$(dirname "$TALLY")"
out=$(mktemp "$BUILD/.ctest-summary.XXXXXX")
# The test programs append the cases they skip here (tests/support/TestMain.cpp).
QL_SKIP_LOG=$(mktemp "$(cd "$BUILD" && pwd)/.ctest-skipped.XXXXXX")
export QL_SKIP_LOG
status=0
(cd "$BUILD" && ctest --output-on-failure -j "$(nproc)") >"$out" 2>&1 || status=$?
cat "$out"
line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$out" | tail -1 || true)
if [ -n "$line" ]; then
    failed=$(echo "$line" | sed -E 's/.*, ([0-9]+) tests failed out of ([0-9]+).*/\1/')
    total=$(echo "$line" | sed -E 's/.*failed out of ([0-9]+).*/\1/')
    # CTest counts a skipped test (exit 77) as passed; it lists it as "(Skipped)".
    skipped=$(grep -cE '^[[:space:]]*[0-9]+ - .* \(Skipped\)$' "$out" || true)
    cases=$(wc -l <"$QL_SKIP_LOG")
    if [ "$skipped" -gt 0 ] || [ "$cases" -gt 0 ]; then
        echo "Skipped in $BUILD: $skipped tests (listed above), $cases cases inside test programs:"
        sed 's/^/    /' "$QL_SKIP_LOG"
    fi
    echo "$((total - failed - skipped)) $failed $skipped $cases" >>"$TALLY"
    # Under CI=true a skipped test fails the run (tests/support/ci.sh; the cases inside programs
    # that may skip there decide for themselves).
    . "$(dirname "$0")/../tests/support/ci.sh"
    if in_ci && [ "$skipped" -gt 0 ]; then
        echo "CI=true: $skipped skipped tests fail the run"
        status=1
    fi
fi
rm -f "$out" "$QL_SKIP_LOG"
exit $status
