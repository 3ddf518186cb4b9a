#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Keeps the code as the repository's settings want it: every C++ file formatted as .clang-format says (a file that
# would change fails), and clang-tidy's checks of .clang-tidy clean over src/ (a finding fails). Needs the debug
# build's compile commands, which scripts/test.sh makes.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh clang-format clang-tidy
# The project's own C++ files, listed without git (a copy of the sources may come without it): everything under the
# source folders but what a build or a test leaves there.
mapfile -t sources < <(find src bench -name '*.cpp' -o -name '*.h' | sort)
clang-format --dry-run --Werror "${sources[@]}"
echo "Formatting: ${#sources[@]} files as .clang-format says"

[ -f build/debug/compile_commands.json ] || { cmake --preset debug >/dev/null && cmake --build --preset debug; }
# The fuzz targets build only with the fuzz preset, so the debug build's commands do not cover them.
mapfile -t units < <(find src -name '*.cpp' | grep -v -e '/fuzz/' -e '_windows\.cpp$' | sort)
# The commands are GCC's: a warning option clang does not know is no finding.
printf '%s\n' "${units[@]}" |
    xargs -P "$(nproc)" -n 4 clang-tidy -p build/debug --quiet --warnings-as-errors='*' \
        --extra-arg=-Wno-unknown-warning-option 2>/dev/null
echo "clang-tidy: ${#units[@]} files, no finding"
