#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the engine's fuzz targets (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) and runs each in
# turn for the given time, starting from a corpus of the project's seed files and the bundled sample.
# Usage: scripts/fuzz.sh [SECONDS-PER-TARGET] [TARGET...]    (default 60 seconds; targets: index_scan entry_view search)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(index_scan entry_view search)

scripts/install-deps.sh clang libclang-rt-14-dev llvm
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

seeds=src/helpdata/fuzz/seeds
for target in "${targets[@]}"; do
    corpus=build/fuzz/corpus/$target
    mkdir -p "$corpus"
    for seed in "$seeds"/* data/korvadoc; do
        name=$(basename "$seed")
        if [ "$target" = search ]; then
            # The search target's input starts with its search text: a length byte, then three bytes a character.
            for text in key needle Solves x; do
                {
                    printf "\\x$(printf %02x ${#text})"
                    for ((i = 0; i < ${#text}; i++)); do
                        printf "\\x$(printf %02x "'${text:i:1}")\\x00\\x00"
                    done
                    cat "$seed"
                } > "$corpus/seed-$name-$text"
            done
        else
            cp "$seed" "$corpus/seed-$name"
        fi
    done
    echo "== $target: $seconds s"
    ASAN_OPTIONS=detect_leaks=1 build/fuzz/fuzz/${target}_fuzzer "$corpus" -max_total_time="$seconds" \
        -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 -artifact_prefix="build/fuzz/$target-" 2>&1 |
        grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|#.*DONE|==[0-9]+==|broken:|SUMMARY)' || true
    # libFuzzer's own status decides: any crash, leak, timeout or broken rule left an artifact.
    if ls build/fuzz/$target-* >/dev/null 2>&1; then
        echo "$target: finding saved as $(ls build/fuzz/$target-*)" >&2
        exit 1
    fi
done
