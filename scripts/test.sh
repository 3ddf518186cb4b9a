#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds everything and runs the whole test suite; the window tests need no display.
# Usage: scripts/test.sh [PRESET]    (debug, the default; asan: under AddressSanitizer and UndefinedBehaviorSanitizer)
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-debug}
# zsh and fish: the completion is tested in each shell, as bash's is; Noto Sans Mono: the window tests run once more
# with it as the system's monospace.
scripts/install-deps.sh zsh fish fonts-noto-mono
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
