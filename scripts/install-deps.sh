#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what building and testing need and this machine lacks, from Debian's packages.
# Usage: scripts/install-deps.sh [extra-package...]
set -euo pipefail

# qt6-tools-dev and qt6-l10n-tools build the translations; qt6-translations-l10n has the toolkit's own.
packages=(cmake g++ make qt6-base-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n libgtest-dev libgmock-dev
    libbenchmark-dev libstemmer-dev "$@")

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
else
    echo "These packages are missing and neither root nor sudo is at hand to install them: ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
