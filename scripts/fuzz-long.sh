#!/bin/sh
# Longer fuzz runs: every fuzzer of the fuzz build for SECONDS_EACH over its seeds and the corpus
# that its short runs grew beside it, JOBS of them at a time (default 1). Each run's output goes to
# FUZZER.log beside the fuzzer; a failing input (crash, undefined behaviour, leak, timeout, memory
# cap) is kept in FUZZER_findings/. Exits 1 when any fuzzer found a fault.
# usage: fuzz-long.sh FUZZ_BUILD_DIR [SECONDS_EACH] [JOBS]
FUZZ=${1:-build-fuzz}
SECONDS_EACH=${2:-600}
JOBS=${3:-1}

# One fuzzer: run it, then print its figures and any input it kept.
if [ "$FUZZ_LONG_ONE" = 1 ]; then
    f=$1
    mkdir -p "${f}_corpus" "${f}_findings"
    seeds=""
    [ -f "$f.seeds" ] && seeds=$(tr ';' ' ' <"$f.seeds")
    # shellcheck disable=SC2086 # seed folders are one word each
    UBSAN_OPTIONS=print_stacktrace=1 "$f" -max_total_time="$SECONDS_EACH" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="${f}_findings/" "${f}_corpus" $seeds >"$f.log" 2>&1
    rc=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$f.log" | tail -1)
    rss=$(sed -n 's/^stat::peak_rss_mb: *//p' "$f.log" | tail -1)
    kept=$(sed -n "s/.*Test unit written to \(.*\)/\1/p" "$f.log")
    if [ $rc -eq 0 ]; then
        echo "== $(basename "$f"): ok, ${runs:-?} runs, peak RSS ${rss:-?} MB"
    else
        echo "== $(basename "$f"): FAILED (exit $rc), ${runs:-?} runs; log $f.log"
        grep -m 3 -E 'runtime error|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|SUMMARY' "$f.log" | sed 's/^/    /'
        for k in $kept; do echo "    input kept: $k"; done
    fi
    exit $rc
fi

status=0
echo "Fuzzing each for ${SECONDS_EACH} s, ${JOBS} at a time"
find "$FUZZ/fuzz" -type f -name 'fuzz_*' -perm -u+x | sort |
    FUZZ_LONG_ONE=1 xargs -P "$JOBS" -I{} sh "$0" {} "$SECONDS_EACH" || status=1
exit $status
