#!/bin/sh
# Longer fuzz runs: every fuzzer of the fuzz build in turn, each for SECONDS_EACH over the corpus
# that its short runs grew beside it. Exits 1 when any fuzzer found a fault.
# usage: fuzz-long.sh FUZZ_BUILD_DIR [SECONDS_EACH]
FUZZ=${1:-build-fuzz}
SECONDS_EACH=${2:-600}
status=0
for f in $(find "$FUZZ/fuzz" -type f -name 'fuzz_*' -perm -u+x | sort); do
    echo "== $(basename "$f"): ${SECONDS_EACH} s"
    mkdir -p "${f}_corpus"
    "$f" -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 -print_final_stats=1 "${f}_corpus" || status=1
done
exit $status
