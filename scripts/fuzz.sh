#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) and runs them for the given
# time, one target per core, from the project's seed files and the bundled sample; then runs each once on the largest
# legal file (32768 entries), whose boundaries the short inputs of a fuzzing run never reach.
# Usage: scripts/fuzz.sh [SECONDS-PER-TARGET] [TARGET...]
#        (default 60 seconds; targets: index_scan entry_view search sorted_list)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(index_scan entry_view search sorted_list)

scripts/install-deps.sh clang libclang-rt-14-dev llvm
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

fuzz=build/fuzz/fuzz
seeds=src/helpdata/fuzz/seeds
large=build/fuzz/large
mkdir -p "$large"
[ -s "$large/korvadoc" ] || build/fuzz/bin/korva-generate --entries 32768 --shuffled --needle-every 100 "$large/korvadoc"

# The search target's input starts with its search text: a byte with its length (and 128 for the ranking, not a Find
# pass), then three bytes a character.
with_search_text() { # with_search_text TEXT FILE [128]
    printf "\\x$(printf %02x $((${#1} + ${3:-0})))"
    for ((i = 0; i < ${#1}; i++)); do
        printf "\\x$(printf %02x "'${1:i:1}")\\x00\\x00"
    done
    cat "$2"
}

# The longest input of each: a little more than a chunk of the readers for the engine (the scan's large blocks and
# the list's bound are reached by the file of 32768 entries below); a few records for the list's store.
max_len() {
    case $1 in
    sorted_list) echo 64 ;;
    *) echo 2400 ;;
    esac
}

run() { # run TARGET: fuzzes it for the given time; its log goes to build/fuzz/TARGET.log
    local target=$1 corpus=build/fuzz/corpus/$1 options=()
    mkdir -p "$corpus"
    if [ "$target" = sorted_list ]; then
        printf '\x3f\x10abcdefghijklmnop\x00\x05AbC\xff\x08\x9f\x20\x00' > "$corpus/seed-names"
    else
        options=(-dict=src/helpdata/fuzz/korvadoc.dict)
        for seed in "$seeds"/* data/korvadoc; do
            if [ "$target" = search ]; then
                for text in key needle Solves x; do
                    with_search_text "$text" "$seed" > "$corpus/seed-$(basename "$seed")-$text"
                    with_search_text "$text" "$seed" 128 > "$corpus/seed-$(basename "$seed")-$text-ranked"
                done
            else
                cp "$seed" "$corpus/seed-$(basename "$seed")"
            fi
        done
    fi
    # Without the allocation and free stacks in a report (malloc_context_size=0): recording them for every allocation
    # took a third of each run of the search target. What is found is found alike; replay a saved finding with the
    # default options to see those stacks too. The freed memory held back to catch a use after free is 2 MB, not 256:
    # a run of the search target allocates (and frees) 300 KB at most, of its largest seed (16 KB), and under 150 KB
    # from an input of the longest length fuzzed, so the quarantine still holds all a run has freed, and the runs'
    # before it. Memory that comes back from a large quarantine comes back cold: 256 MB faulted in fresh pages
    # for each run (a third of the time), and 16 MB still missed the cache on each allocation's header and shadow
    # (a run of the search target's corpus took 15% longer than with 2 MB).
    # libFuzzer's own bookkeeping, as profiled on the search target: its entropic schedule keeps a list of the rarest
    # features and searches it from the start for each feature of each run; the list shrinks only when a run adds a
    # feature, so once the coverage stops growing every run searched a list of thousands (60% of the time, from a
    # merged corpus). It runs with the plain schedule instead. One fuzzer a corpus: nothing else writes to it, so it is
    # not read again whenever the fuzzer adds to it (-reload, 8% of the time with a corpus of 28,000 files).
    ASAN_OPTIONS=detect_leaks=1:malloc_context_size=0:quarantine_size_mb=2 "$fuzz/${target}_fuzzer" "$corpus" "${options[@]}" -max_total_time="$seconds" \
        -max_len="$(max_len "$target")" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 -entropic=0 -reload=0 \
        -artifact_prefix="build/fuzz/$target-" >"build/fuzz/$target.log" 2>&1 || true
}

rm -f build/fuzz/*-crash-* build/fuzz/*-leak-* build/fuzz/*-timeout-* build/fuzz/*-oom-*
cores=$(nproc)
for target in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$cores" ]; do sleep 1; done
    echo "== $target: $seconds s"
    run "$target" &
done
wait

failed=0
for target in "${targets[@]}"; do
    runs=$(grep -m1 '^stat::number_of_executed_units' "build/fuzz/$target.log" | awk '{print $2}')
    rate=$(grep -m1 '^stat::average_exec_per_sec' "build/fuzz/$target.log" | awk '{print $2}')
    echo "$target: ${runs:-?} executions, ${rate:-?} per second"
    grep -E '^(==[0-9]+==|broken:|SUMMARY)' "build/fuzz/$target.log" || true
    # The largest legal file, once (the search target's twice: a Find pass, and the ranking).
    inputs=()
    if [ "$target" = search ]; then
        with_search_text needle "$large/korvadoc" > "$large/search-input"
        with_search_text needle "$large/korvadoc" 128 > "$large/search-input-ranked"
        inputs=("$large/search-input" "$large/search-input-ranked")
    elif [ "$target" != sorted_list ]; then
        inputs=("$large/korvadoc")
    fi
    for input in "${inputs[@]}"; do
        if ! "$fuzz/${target}_fuzzer" "$input" >"build/fuzz/$target-large.log" 2>&1; then
            echo "$target: the largest legal file broke a rule ($(basename "$input")):" >&2
            grep -E '^(==[0-9]+==|broken:|SUMMARY)' "build/fuzz/$target-large.log" >&2 || true
            failed=1
        fi
    done
    # libFuzzer's own status decides: any crash, leak, timeout or broken rule left an artifact.
    if ls build/fuzz/$target-crash-* build/fuzz/$target-leak-* build/fuzz/$target-timeout-* \
        build/fuzz/$target-oom-* >/dev/null 2>&1; then
        echo "$target: finding saved as $(ls build/fuzz/$target-*-*)" >&2
        failed=1
    fi
done
exit $failed
