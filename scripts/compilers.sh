#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds everything with the compilers and flags a distribution might use, and fails on any warning: clang in a
# release build, and a plain release configure with GCC, as a packager would run it (no preset, no -Werror).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh clang
cmake --preset clang-release >/dev/null
cmake --build --preset clang-release

log=$(mktemp)
trap 'rm -f "$log"' EXIT
cmake -S . -B build/plain-release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/plain-release -j "$(nproc)" 2>&1 | tee "$log"
if grep -q 'warning:' "$log"; then
    echo "The plain release build with GCC gave warnings:" >&2
    grep 'warning:' "$log" >&2
    exit 1
fi
