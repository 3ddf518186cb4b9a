#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""End-to-end test of the real program, driven only from outside as a user and a screen reader meet it: keys go in
as X events (xdotool), and what the window shows is read through the accessibility bus (AT-SPI).

Usage: e2e_test.py PROGRAM    (run inside an X server and a D-Bus session with the accessibility bus up; see
scripts/e2e.sh)
"""
import hashlib
import os
import shutil
import socket
import stat
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

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


def showing(accessible):
    """The accessible, when it is on screen."""
    if accessible is not None and accessible.getState().contains(pyatspi.STATE_SHOWING):
        return accessible
    return None


def text_of(accessible):
    text = accessible.queryText()
    return text.getText(0, text.characterCount)


def x_windows_named(title, visible_only=False):
    """The X windows with that title; the toolkit keeps an unmapped one of the same title beside each window."""
    found = subprocess.run(["xdotool", "search", *(["--onlyvisible"] if visible_only else []), "--name", title],
                           capture_output=True, text=True)
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
        time.sleep(0.8)  # resting on abs makes it a place of the history
        subprocess.run(["xdotool", "type", "--delay", "80", "sol"], check=True)
        shown = wait_for(lambda: entry is not None and text_of(entry).startswith("Solves an equation"))
        check(bool(shown), 'typing "sol" selects solve and shows its entry')
        check(entry is not None and "Params:solve(eqns, vars)" in text_of(entry), "the entry shows its parameters")

        key("Tab", "Tab", "Down")  # to Also See, and its first related command
        jumped = wait_for(lambda: entry is not None and not text_of(entry).startswith("Solves an equation"))
        check(bool(jumped), "Down in Also See shows a related command")
        key("alt+Left")
        back = wait_for(lambda: entry is not None and text_of(entry).startswith("Solves an equation"))
        check(bool(back), "Alt+Left goes back to solve's entry")
        key("alt+Left")
        back = wait_for(lambda: entry is not None and text_of(entry).startswith("Absolute value"))
        check(bool(back), "and Alt+Left again to abs: seq, which typing \"sol\" passed, is no place of the history")

        # Find: a screen reader hears of the command it shows, as the list's item selected.
        heard = []
        listener = lambda event: heard.append((event.type, event.source and event.source.name, event.detail1))
        kinds = ["object:selection-changed", "object:active-descendant-changed", "object:state-changed:selected"]
        pyatspi.Registry.registerEventListener(listener, *kinds)
        key("ctrl+f")
        subprocess.run(["xdotool", "type", "--delay", "60", "Euler"], check=True)
        key("F3")
        found = wait_for(lambda: entry is not None and "Euler" in text_of(entry))
        deadline = time.monotonic() + 3
        told = ("object:state-changed:selected", "Gamma", 1)
        while time.monotonic() < deadline and told not in heard:
            pyatspi.Registry.pumpQueuedEvents()
            GLib.MainContext.default().iteration(False)
            time.sleep(0.05)
        pyatspi.Registry.deregisterEventListener(listener, *kinds)
        check(bool(found), "F3 finds an entry that names Euler")
        check(told in heard, "and the accessibility bus hears that Gamma is now selected in the list")

        # Found only in a related command's name: Also See says which.
        key("ctrl+f")
        subprocess.run(["xdotool", "type", "--delay", "60", "matrix"], check=True)
        key("F3")
        marked = wait_for(lambda: see_also is not None and see_also.description.endswith("found in matrix")
                          and text_of(entry).startswith("Cross product"))
        check(bool(marked), f'F3 for "matrix" shows cross, and Also See says "found in matrix" '
                            f'({see_also.description if see_also else None!r})')

        # Results as the user types: read through the accessibility bus, one chosen with the keyboard.
        key("ctrl+f")
        key("ctrl+a", "BackSpace")
        subprocess.run(["xdotool", "type", "--delay", "60", "determinant"], check=True)
        results = wait_for(lambda: showing(find(window, "list", "Results")))
        rows = wait_for(lambda: results and [results[i].name for i in range(results.childCount)])
        check(bool(rows) and rows[0].startswith("det"),
              f'typing "determinant" shows the list "Results", det first ({rows[:3] if rows else rows})')
        check(bool(results) and results.description.endswith("result" if len(rows or []) == 1 else "results"),
              f'and it says how many ({results.description if results else None!r})')
        key("Down", "Return")
        shown = wait_for(lambda: entry is not None and text_of(entry).startswith("Determinant of a square matrix"))
        check(bool(shown), "Down and Enter in the results show det's entry")
        check(not showing(find(window, "list", "Results")), "and the results close")
        key("ctrl+f", "Down")
        again = wait_for(lambda: showing(find(window, "list", "Results")))
        check(bool(again), 'Down in the search text brings the results of "determinant" back')
        key("Escape")
        kept = wait_for(lambda: not showing(find(window, "list", "Results"))
                        and text_of(entry).startswith("Determinant of a square matrix"))
        check(bool(kept), "and Escape closes them on det's entry, kept")

        # No key typed dozens of times a day ends the program: Escape twice in the search text, Enter in the list.
        key("ctrl+f")
        key("Escape", "Escape")
        time.sleep(0.5)
        check(process.poll() is None, "Escape twice in the search text leaves the window open")
        key("Tab", "Return")  # to the list, and Enter there
        time.sleep(0.5)
        check(process.poll() is None and entry is not None and text_of(entry).startswith("Determinant"),
              "Enter in the list leaves the window open, its entry kept")
        key("ctrl+w")
        try:
            status = process.wait(10)
        except subprocess.TimeoutExpired:
            status = None
        check(status == 0, f"Ctrl+W closes the window, and the program ends with status 0 (status {status})")
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()


class Window:
    """A window of the program, started and found on the accessibility bus; its entry text read from there."""

    def __init__(self, program, *arguments, environment=None, process=None):
        self.process = process or subprocess.Popen([program, *arguments], env=environment)
        self.entry = None
        app = wait_for(lambda: application_of(self.process.pid), 20)
        window = app and wait_for(lambda: find(app, "dialog", TITLE) or find(app, "frame", TITLE))
        self.entry = window and wait_for(lambda: find(window, "text", "Entry"))
        self.search = window and find(window, "text", "Command")

    @classmethod
    def of(cls, process):
        return cls(None, process=process)

    def shows(self, start, seconds=5.0):
        return bool(self.entry) and bool(wait_for(lambda: text_of(self.entry).startswith(start), seconds))

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def channel_of(data_file):
    """The socket a window on data_file serves lookups on, as the program names it."""
    key = os.path.realpath(data_file).encode()
    return os.path.join(os.environ["XDG_RUNTIME_DIR"], "korva-reference-" + hashlib.sha256(key).hexdigest()[:16])


def lookup(program, *arguments, environment=None):
    """Launches the program with a command; yields its status (None when it did not end) and the seconds it took."""
    start = time.monotonic()
    process = subprocess.Popen([program, *arguments], env=environment)
    try:
        status = process.wait(10)
    except subprocess.TimeoutExpired:
        status = None
        process.kill()
        process.wait()
    return status, time.monotonic() - start


def test_hand_over(program):
    print(f"== {program}: a lookup handed over to the open window", flush=True)
    data_file = os.path.join(os.path.dirname(os.path.realpath(program)), "korvadoc")
    window = Window(program)
    others = []
    try:
        if not check(window.entry is not None, "the window is open"):
            return
        status, seconds = lookup(program, "gcd")
        check(status == 0 and seconds < 1.0, f"a second launch with gcd ends with status 0 in {seconds:.3f} s")
        check(window.shows("Greatest common divisor"), "the open window shows gcd's entry")
        check(len(x_windows_named(TITLE, visible_only=True)) == 1, "and it is still the one window")

        fired = ["abs", "cos", "diff", "exp", "floor", "gcd", "lcm", "log", "map", "mod", "plot", "rank", "roots",
                 "sign", "sin", "sqrt", "sum", "tan", "trace", "solve"]
        statuses = [lookup(program, command)[0] for command in fired]
        check(statuses == [0] * len(fired), f"{len(fired)} lookups one after another all end with status 0")
        check(window.shows("Solves an equation"), "and the window ends on the last, solve")

        # Clients that say nothing, or garbage, change nothing; the window still answers.
        path = channel_of(data_file)
        silent = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        silent.connect(path)
        for garbage in (b"\x00\xff garbage\n", b"LOOKUP \xc3\x28\n", b"LOOKUP " + b"x" * 5000 + b"\n",
                        b"LOOKUP gcd\nLOOKUP lcm\n"):
            with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as client:
                client.connect(path)
                client.sendall(garbage)
        status, seconds = lookup(program, "taylor")
        silent.close()
        check(window.shows("Taylor polynomial") and status == 0 and seconds < 1.0,
              f"with a silent client and garbage sent, the window still answers ({seconds:.3f} s)")

        # A window on another data file is left alone, and a launch on that file opens its own.
        folder = tempfile.mkdtemp(prefix="korva-e2e-")
        other_file = os.path.join(folder, "other reference")
        with open(other_file, "wb") as other:
            other.write(b"# other\n1 a\n2 The only entry.\n3 c\n0 other()\n\n")
        other_window = Window(program, "--data", other_file, "oth")
        others.append(other_window)
        check(other_window.shows("The only entry."), "a launch on another data file opens its own window")
        check(window.shows("Taylor polynomial", 0.5), "and the first window keeps its entry")
        status, _ = lookup(program, "--data", other_file, "other")
        check(status == 0 and window.shows("Taylor polynomial", 0.5),
              "a lookup on the other file goes to the other window only")
        other_window.close()
        shutil.rmtree(folder)

        # A window killed leaves its socket behind; the next launch cleans it up and serves.
        window.process.kill()
        window.process.wait()
        check(os.path.exists(path), "a killed window leaves its socket behind")
        fresh = Window(program, "lcm")
        others.append(fresh)
        check(fresh.shows("Least common multiple"), "the next launch opens its own window on the stale socket")
        status, seconds = lookup(program, "abs")
        check(status == 0 and seconds < 1.0 and fresh.shows("Absolute value"),
              f"and serves the lookups after it ({seconds:.3f} s)")

        # A second window open on the same file takes over when the serving one goes.
        second = Window(program, "--new-window", "floor")
        others.append(second)
        check(second.shows("Largest integer"), "a second window opens with --new-window")
        fresh.process.kill()
        fresh.process.wait()
        time.sleep(2.5)  # the second window looks at the channel every second and a half
        status, seconds = lookup(program, "gcd")
        check(status == 0 and second.shows("Greatest common divisor"),
              f"once the serving window is gone, the second one takes the next lookup ({seconds:.3f} s)")
        check(len(x_windows_named(TITLE, visible_only=True)) == 1, "and no other window opens")
    finally:
        window.close()
        for other in others:
            other.close()


def test_shared_machine(program):
    print(f"== {program}: on a machine shared with other users, without a runtime folder", flush=True)
    shared = tempfile.mkdtemp(prefix="korva-e2e-shared-")
    os.chmod(shared, 0o1777)  # a temporary folder as every user shares it
    environment = dict(os.environ, TMPDIR=shared)
    environment.pop("XDG_RUNTIME_DIR", None)
    own = os.path.join(shared, f"korva-reference-{os.geteuid()}")
    windows = []
    try:
        first = Window(program, environment=environment)
        windows.append(first)
        check(first.entry is not None, "the window opens")
        mode = os.lstat(own).st_mode if os.path.exists(own) else 0
        check(stat.S_ISDIR(mode) and stat.S_IMODE(mode) == 0o700,
              f"its socket lives in a folder of the user's own, mode 0700 ({oct(stat.S_IMODE(mode))})")
        status, seconds = lookup(program, "gcd", environment=environment)
        check(status == 0 and first.shows("Greatest common divisor"), "a lookup reaches it there")
        first.close()
        if os.geteuid() != 0:
            print("skip   another user's folder in its place: needs the superuser", flush=True)
            return
        # Another user makes the folder first: it is never used, and the launch says why once and opens its own
        # window.
        shutil.rmtree(own)
        os.mkdir(own, 0o700)
        os.chown(own, 65534, 65534)
        process = subprocess.Popen([program, "lcm"], env=environment, stderr=subprocess.PIPE)
        second = Window.of(process)
        windows.append(second)
        check(second.shows("Least common multiple"), "with another user's folder in its place, the launch opens its own "
              "window")
        second.close()
        errors = process.stderr.read().decode()
        check(errors.count("no hand-over between windows") == 1 and "belongs to another user" in errors,
              f"and says once why it cannot hand over ({errors.strip()!r})")
        check(os.listdir(own) == [], "nothing of it lands in the other user's folder")
    finally:
        for window in windows:
            window.close()
        shutil.rmtree(shared)


def test_terminal(program):
    print(f"== {program}: from a terminal, without a display", flush=True)
    environment = {name: value for name, value in os.environ.items()
                   if name not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}

    def run(*arguments):
        return subprocess.run([program, *arguments], env=environment, capture_output=True, timeout=20)

    printed = run("--print", "lcm")
    check(printed.returncode == 0 and printed.stdout.decode().startswith("Least common multiple")
          and printed.stdout.decode().endswith("\n") and b"\r" not in printed.stdout,
          "--print lcm writes its entry, LF line ends, and ends with status 0")
    listed = run("--list")
    names = listed.stdout.decode().splitlines()
    check(listed.returncode == 0 and len(names) == 73 and names[:2] == ["abs", "assume"],
          f"--list writes every command's name in the list's order ({len(names)})")
    found = run("--apropos", "determinant")
    check(found.returncode == 0 and found.stdout.decode().startswith("det - Determinant"),
          "--apropos determinant writes det first, as NAME - DESCRIPTION")
    missing = run("--print", "slove")
    check(missing.returncode == 16 and missing.stdout == b"" and b"did you mean: solve?" in missing.stderr,
          f"--print slove finds nothing, suggests solve and ends with status 16 ({missing.returncode})")
    check(not x_windows_named(TITLE), "no window appears for any of them")


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
    test_hand_over(program)
    test_shared_machine(program)
    test_terminal(program)
    test_without_data_file(program)
    print(f"\n{len(failures)} failed" if failures else "\nall passed", flush=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
