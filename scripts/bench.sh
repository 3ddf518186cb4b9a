#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the optimised program and runs the benchmarks at 32768 entries against cat and grep; prints the table the
# README shows. Extra arguments go to Google Benchmark (for example --benchmark_filter=IndexScan).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh time # GNU time tells the peak memory of the program run from a terminal
cmake --preset release >/dev/null
cmake --build --preset release --target korva_benchmarks korva-reference
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(uname -sr)"
build/release/bin/korva_benchmarks "$@"
