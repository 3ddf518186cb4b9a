#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Renders the icon's PNG sizes from its SVG drawings (needs rsvg-convert, from Debian's librsvg2-bin).
# The PNGs are committed; run this after changing a drawing.
set -euo pipefail
cd "$(dirname "$0")"
rsvg-convert -w 16 -h 16 korva-reference-small.svg -o korva-reference-16.png
for size in 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" korva-reference.svg -o "korva-reference-$size.png"
done
