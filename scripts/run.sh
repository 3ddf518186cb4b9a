#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the program and opens its window on the bundled sample data file.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target korva-reference korvadoc-check korva-generate

program=build/release/bin/korva-reference
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    cat >&2 <<MSG
The program is built, but this machine has no display to open its window on (neither DISPLAY nor
WAYLAND_DISPLAY is set). To see the window anyway:
  - under a virtual X server (Debian's xvfb package), looked at with a screenshot or a VNC viewer:
      xvfb-run -s '-screen 0 1024x768x24' $program
  - or through Qt's own VNC server, then connect a VNC viewer to this machine's port 5900:
      QT_QPA_PLATFORM=vnc:size=1024x768 $program
MSG
    exit 1
fi
exec "$program"
