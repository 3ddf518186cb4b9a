#!/usr/bin/env bash
# Builds everything and runs the whole test suite; the window tests need no display.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset debug
cmake --build --preset debug
ctest --preset debug
