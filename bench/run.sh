#!/bin/sh
# Runs every benchmark program of a build and prints its figures.
BUILD=${1:-build}
find "$BUILD/bench" -type f -name 'bench_*' -perm -u+x | sort | while read -r b; do
    echo "== $(basename "$b")"
    "$b" --benchmark_min_time=0.2
done
