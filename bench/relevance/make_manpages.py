#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Makes a reference of the manual pages that a fixed list of Debian packages installs: one entry a name, with its
section and the one-line description of the page's NAME section, as lexgrog reads it. The same packages give the
same reference on any machine, whatever else it has installed.

Usage: make_manpages.py PACKAGES_FILE KORVADOC LINES
  KORVADOC  the reference, in the data file's format (Windows-1252)
  LINES     "name - description", one a line, in UTF-8: what the peers (fzf, apropos) are given
"""
import os
import re
import subprocess
import sys

from reference_text import Entry, write_reference

MAN_PAGE = re.compile(r"^/usr/share/man/man[0-9n][^/]*/([^/]+)\.([0-9n][^.]*)(\.gz)?$")


def man_pages(packages):
    files = []
    for package in packages:
        listed = subprocess.run(["dpkg", "-L", package], capture_output=True, text=True, check=True).stdout
        files.extend(path for path in listed.splitlines() if MAN_PAGE.match(path) and os.path.exists(path))
    return sorted(set(files))


def read_names(files):
    """(name, section, description) for each name each page gives, as lexgrog reads the NAME section."""
    found = []
    for start in range(0, len(files), 200):
        batch = files[start:start + 200]
        output = subprocess.run(["lexgrog", *batch], capture_output=True, text=True, errors="replace").stdout
        for line in output.splitlines():
            match = re.match(r'^(.*?): "(.*)"$', line)
            if not match:
                continue
            page = MAN_PAGE.match(match.group(1))
            section = page.group(2)
            text = match.group(2)
            if " - " not in text:
                continue
            names, description = text.split(" - ", 1)
            for name in names.split(","):
                name = name.strip()
                # A name lexgrog left with the page's own markup (font changes, escapes) is no name a user types.
                if name and not re.search(r"[\\\[\]\s]|^fB|^fI", name):
                    # A NAME section that spells the page's own name in capitals ("Wget") names the page as the
                    # system lists it and as users type it: by its file name.
                    if name.lower() == page.group(1).lower():
                        name = page.group(1)
                    found.append((name, section, description.strip()))
    return sorted(set(found))


def main():
    packages_file, korvadoc, lines = sys.argv[1:4]
    with open(packages_file, encoding="utf-8") as listing:
        packages = [word for line in listing for word in line.split("#")[0].split()]
    entries = [Entry(name=name, group="section " + section, description=description, parameters=f"{name}({section})")
               for name, section, description in read_names(man_pages(packages))]
    write_reference(entries, korvadoc, lines)
    print(f"{korvadoc}: {len(entries)} manual page names")


if __name__ == "__main__":
    main()
