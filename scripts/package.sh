#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package of the program (release build), checks it with lintian and prints its path.
# Usage: scripts/package.sh [--install]    (--install: also installs it with apt-get, as root or through sudo)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh dpkg-dev lintian
cmake --preset release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON -DCMAKE_STRIP="$PWD/cmake/strip-for-package.sh" \
    -DKORVA_ZSH_COMPLETION_DIR=share/zsh/vendor-completions >/dev/null
cmake --build --preset release --target korva-reference korvadoc-check korva_documents
rm -f build/release/korva-reference_*.deb
(cd build/release && cpack -G DEB >/dev/null)
package=$(ls "$PWD"/build/release/korva-reference_*.deb)

# Every tag lintian reports, down to the informational and pedantic ones, is either mended or explained in the
# package's overrides.
lintian --fail-on error,warning,info,pedantic --display-info --pedantic "$package" \
    2> >(grep -v 'running with root privileges' >&2)
echo "$package"

if [ "${1:-}" = "--install" ]; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --reinstall "$package"
fi
