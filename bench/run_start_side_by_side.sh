#!/bin/sh
# Times the start of a run of two builds side by side on the same generated files, a run of
# each in turn: bench_run_start of build A, then of build B, RUNS times (default 5), at THREADS
# worker threads (default 8). Each build must have the target bench_run_start.
#   bench/run_start_side_by_side.sh BUILD_A BUILD_B [RUNS] [THREADS]
set -e
a=$1 b=$2 runs=${3:-5} threads=${4:-8}
data=${TMPDIR:-/tmp}/kvstart-side-by-side
mkdir -p "$data"
for k in $(seq "$runs"); do
    for build in "$a" "$b"; do
        printf '%s ' "$build"
        "$build/bench/bench_run_start" --threads "$threads" --runs 1 --data "$data" | tail -1
    done
done
