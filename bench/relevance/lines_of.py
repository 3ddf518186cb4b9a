#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Writes the "name - description" lines of a reference in the data file's format, for the peers: each entry's
name and the text of its description line, in UTF-8.

Usage: lines_of.py KORVADOC LINES
"""
import sys


def main():
    korvadoc, lines_file = sys.argv[1:3]
    with open(korvadoc, "rb") as reference:
        text = reference.read().decode("cp1252", errors="replace")
    with open(lines_file, "w", encoding="utf-8") as lines:
        for entry in text[text.find("#"):].split("\n\n#"):
            rows = entry.lstrip("#").split("\n")
            if len(rows) >= 3 and rows[2].startswith("2"):
                lines.write(f"{rows[0][1:].strip()} - {rows[2][2:].strip()}\n")


if __name__ == "__main__":
    main()
