#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the optimised program and runs the benchmarks at 32768 entries against cat and grep; prints the table the
# README shows. Extra arguments go to Google Benchmark (for example --benchmark_filter=IndexScan).
# Usage: scripts/bench.sh [--runs N] [GOOGLE-BENCHMARK-ARGUMENTS...]
#        (--runs N: N runs one after another, each in build/bench/run-K.log, then the table of each figure's median run)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh time python3 # GNU time tells the peak memory of a program run from a terminal
cmake --preset release >/dev/null
cmake --build --preset release --target korva_benchmarks korva-reference
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(uname -sr)"
if [ "${1:-}" != --runs ]; then
    build/release/bin/korva_benchmarks "$@"
    exit
fi
runs=$2
shift 2
mkdir -p build/bench
logs=()
for ((run = 1; run <= runs; run++)); do
    echo "== run $run of $runs"
    build/release/bin/korva_benchmarks "$@" | tee "build/bench/run-$run.log"
    logs+=("build/bench/run-$run.log")
done
echo
/usr/bin/python3 bench/median_of_runs.py "${logs[@]}"
