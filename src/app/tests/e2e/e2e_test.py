#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""End-to-end test of the real program, driven only from outside as a user and a screen reader meet it: keys go in
as X events (xdotool), and what the window shows is read through the accessibility bus (AT-SPI).

Usage: e2e_test.py PROGRAM    (run inside an X server and a D-Bus session with the accessibility bus up; see
scripts/e2e.sh)
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

TITLE = "Korva Command Reference"
failures = []


def check(condition, message):
    print(("ok     " if condition else "FAILED ") + message, flush=True)
    if not condition:
        failures.append(message)
    return condition


def wait_for(probe, seconds=10.0):
    """Calls probe until it yields something true or the time is up; yields its last answer."""
    deadline = time.monotonic() + seconds
    while True:
        try:
            answer = probe()
        except Exception:  # the accessible tree changes under us while the window starts
            answer = None
        if answer or time.monotonic() > deadline:
            return answer
        time.sleep(0.1)


def application_of(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def find(node, role, name=None):
    """The first accessible below node with the role (and name, when given)."""
    for child in node:
        if child is None:
            continue
        if child.getRoleName() == role and (name is None or child.name == name):
            return child
        found = find(child, role, name) if child.getRoleName() not in ("list", "list item") else None
        if found is not None:
            return found
    return None


def text_of(accessible):
    text = accessible.queryText()
    return text.getText(0, text.characterCount)


def x_windows_named(title):
    found = subprocess.run(["xdotool", "search", "--name", title], capture_output=True, text=True)
    return found.stdout.split()


def key(*keys):
    subprocess.run(["xdotool", "key", "--delay", "50", *keys], check=True)


def registry_answers():
    pyatspi.Registry.getDesktop(0).childCount
    return True


def test_window(program):
    print(f"== {program}: the window on its data file", flush=True)
    check(bool(wait_for(registry_answers, 20)), "the accessibility registry answers")
    process = subprocess.Popen([program])
    try:
        app = wait_for(lambda: application_of(process.pid), 20)
        if not check(app is not None, "the program shows up on the accessibility bus"):
            return
        window = wait_for(lambda: find(app, "dialog", TITLE) or find(app, "frame", TITLE))
        if not check(window is not None, f'its window is called "{TITLE}"'):
            return
        commands = wait_for(lambda: find(window, "list", "Commands"))
        entry = find(window, "text", "Entry")
        search = find(window, "text", "Command")
        check(commands is not None and commands.childCount >= 60,
              f'the list "Commands" holds the sample\'s commands ({commands.childCount if commands else 0})')
        check(entry is not None and text_of(entry) == "", 'the entry text "Entry" is empty at first')
        check(search is not None, 'the search text "Command" is there')
        check(find(window, "push button", "Find") is not None, 'the button "Find" is there')
        check(find(window, "push button", "Copy") is not None, 'the button "Copy" is there')
        see_also = find(window, "combo box")
        check(see_also is not None and see_also.description == "Also See",
              'the see-also list is described as "Also See"')

        windows = wait_for(lambda: x_windows_named(TITLE))
        if not check(bool(windows), "its X window is found by its title"):
            return
        subprocess.run(["xdotool", "windowfocus", "--sync", windows[0]], check=False)
        time.sleep(0.3)
        key("Down")
        shown = wait_for(lambda: entry is not None and text_of(entry).startswith("Absolute value"))
        check(bool(shown), "Down selects the first command and shows its entry")
        subprocess.run(["xdotool", "type", "--delay", "80", "sol"], check=True)
        shown = wait_for(lambda: entry is not None and text_of(entry).startswith("Solves an equation"))
        check(bool(shown), 'typing "sol" selects solve and shows its entry')
        check(entry is not None and "Params:solve(eqns, vars)" in text_of(entry), "the entry shows its parameters")

        key("Escape")
        try:
            status = process.wait(10)
        except subprocess.TimeoutExpired:
            status = None
        check(status == 0, f"Escape ends the program with status 0 (status {status})")
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()


def test_without_data_file(program):
    print(f"== {program}: without a data file beside it", flush=True)
    folder = tempfile.mkdtemp(prefix="korva-e2e-")
    try:
        alone = os.path.join(folder, "korva-reference")
        shutil.copy(os.path.realpath(program), alone)
        process = subprocess.Popen([alone], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        windows = []
        deadline = time.monotonic() + 3
        while process.poll() is None and time.monotonic() < deadline:
            windows += x_windows_named(TITLE)
            time.sleep(0.05)
        try:
            output, errors = process.communicate(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            output, errors = process.communicate()
        check(process.returncode == 0, f"it ends with status 0 (status {process.returncode})")
        check(not windows, "no window ever appears")
        check(output == b"" and errors == b"", "it says nothing")
    finally:
        shutil.rmtree(folder)


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    program = sys.argv[1]
    test_window(program)
    test_without_data_file(program)
    print(f"\n{len(failures)} failed" if failures else "\nall passed", flush=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
