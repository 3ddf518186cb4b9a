#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the end-to-end test against a program: under a virtual X server, in a D-Bus session with the accessibility bus
# switched on as a screen reader does.
# Usage: scripts/e2e.sh [PROGRAM]    (default: the installed korva-reference)
set -euo pipefail
cd "$(dirname "$0")/.."

program=${1:-$(command -v korva-reference || echo /usr/bin/korva-reference)}
scripts/install-deps.sh xvfb xauth xdotool dbus at-spi2-core python3-pyatspi libglib2.0-bin

display_file=$(mktemp)
xvfb_log=$(mktemp)
# A runtime folder of its own, as a desktop session has: the windows' lookup sockets go there.
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >"$xvfb_log" 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$display_file" "$xvfb_log" "$XDG_RUNTIME_DIR"' EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$display_file")"
# The display number comes before the server takes connections on a loaded machine: wait until it does.
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
if ! xdotool getdisplaygeometry >/dev/null 2>&1; then
    echo "The virtual X server did not start:" >&2
    cat "$xvfb_log" >&2
    exit 1
fi

dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    for _ in $(seq 50); do
        gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
            --method org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
        sleep 0.1
    done
    gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
        --method org.freedesktop.DBus.Properties.Set org.a11y.Status IsEnabled "<true>" >/dev/null
    /usr/bin/python3 src/app/tests/e2e/e2e_test.py "$0"
' "$program" 2> >(grep -v -E "Failed to set fd limit|XDG_RUNTIME_DIR" >&2) || {
    status=$?
    echo "The virtual X server said:" >&2
    cat "$xvfb_log" >&2
    exit $status
}
