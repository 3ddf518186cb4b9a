#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Takes the README's screenshots under a virtual X server: the regular layout with an entry that Find showed, its
# matches marked; the results of a word typed into the search text; the compact layout on a 320 x 240 screen, with an
# entry and its see-also list dropped down, and with results.
# Usage: scripts/screenshots.sh [PROGRAM]    (default: the release build's program)
set -euo pipefail
cd "$(dirname "$0")/.."

program=${1:-build/release/bin/korva-reference}
if [ ! -x "$program" ]; then
    scripts/install-deps.sh
    cmake --preset release >/dev/null
    cmake --build --preset release --target korva-reference
fi
scripts/install-deps.sh xvfb xauth xdotool imagemagick x11-xserver-utils

shoot() { # shoot SCREEN-SIZE OUTPUT WHAT (find, results or see-also)
    local display_file
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
    local xvfb=$!
    for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
    export DISPLAY=":$(cat "$display_file")"
    xsetroot -solid '#34495e'
    "$program" &
    local app=$!
    local window=""
    for _ in $(seq 50); do
        window=$(xdotool search --onlyvisible --name "Korva Command Reference" 2>/dev/null | head -n 1) && [ -n "$window" ] && break
        sleep 0.1
    done
    xdotool windowfocus --sync "$window"
    sleep 0.3
    if [ "$3" = find ]; then
        xdotool key ctrl+f                  # to the search text
        xdotool type --delay 60 "equation"
        xdotool key F3                      # Find: the entry of solve, its matches marked
    elif [ "$3" = results ]; then
        xdotool key ctrl+f
        xdotool type --delay 60 "coefficient" # the results as it is typed
        sleep 0.3
        xdotool key Down                    # into the results
    else
        xdotool type --delay 60 "solve"     # type-ahead in the command list
        sleep 0.3
        xdotool key Tab Tab                 # to the see-also list
        xdotool key alt+Down                # drop it down
        sleep 0.3
        xdotool key Down
    fi
    sleep 0.5
    import -window root "$2"
    kill "$app" "$xvfb" 2>/dev/null || true
    wait "$app" "$xvfb" 2>/dev/null || true
    rm -f "$display_file"
}

shoot 720x720 docs/screenshots/regular.png find
shoot 720x720 docs/screenshots/results.png results
shoot 320x240 docs/screenshots/compact.png see-also
shoot 320x240 docs/screenshots/compact-results.png results
echo "Screenshots: docs/screenshots/{regular,results,compact,compact-results}.png"
