#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package of the program (release build) and prints its path.
# Usage: scripts/package.sh [--install]    (--install: also installs it with apt-get, as root or through sudo)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh dpkg-dev
cmake --preset release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build --preset release --target korva-reference korvadoc-check
(cd build/release && cpack -G DEB >/dev/null)
package=$(ls "$PWD"/build/release/korva-reference_*.deb)
echo "$package"

if [ "${1:-}" = "--install" ]; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --reinstall "$package"
fi
