#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Makes a reference of a numerical library's own documentation: the public functions of NumPy (as Debian's
python3-numpy installs it) and of its linalg, fft and random modules, each entry made from the function's docstring:
its summary and first paragraph, its signature, the names of its See Also section, and its examples.

Usage: make_numpy.py KORVADOC LINES   (as make_manpages.py)
"""
import inspect
import re
import sys

import numpy

from reference_text import Entry, write_reference

MODULES = [("", numpy), ("linalg.", numpy.linalg), ("fft.", numpy.fft), ("random.", numpy.random)]
SECTION = re.compile(r"^\s*([A-Z][A-Za-z ]+)\n\s*-{3,}\s*$", re.M)


def public_functions():
    for prefix, module in MODULES:
        names = getattr(module, "__all__", None) or dir(module)
        for name in sorted(set(names)):
            if name.startswith("_"):
                continue
            value = getattr(module, name, None)
            if value is None or inspect.isclass(value) or inspect.ismodule(value) or not callable(value):
                continue
            if not (getattr(value, "__doc__", None) or "").strip():
                continue
            yield prefix + name, value


def sections(doc):
    """The docstring's text before its first section, and each section's text by its title."""
    doc = inspect.cleandoc(doc)
    found = {}
    matches = list(SECTION.finditer(doc))
    head = doc[:matches[0].start()] if matches else doc
    for i, match in enumerate(matches):
        end = matches[i + 1].start() if i + 1 < len(matches) else len(doc)
        found[match.group(1).strip()] = doc[match.end():end]
    return head, found


def paragraphs(text):
    return [" ".join(part.split()) for part in re.split(r"\n\s*\n", text) if part.strip()]


def signature(name, value, head):
    try:
        return name.split(".")[-1] + str(inspect.signature(value))
    except (TypeError, ValueError):
        first = head.strip().splitlines()[0] if head.strip() else ""
        return first if "(" in first else name.split(".")[-1] + "(...)"


def see_also(text, known):
    names = []
    for line in text.splitlines():
        if not line.strip() or line.startswith((" ", "\t")):
            continue
        for part in line.split(":")[0].split(","):
            target = part.strip().removeprefix("numpy.").removeprefix("np.")
            if target in known and target not in names:
                names.append(target)
    return names


def examples(text):
    lines = []
    for line in text.splitlines():
        line = line.strip()
        if line.startswith(">>> "):
            code = line[4:].split("  # ")[0].split(" # ")[0].rstrip()
            if code and not code.startswith(("import ", "from ", "#")):
                lines.append(code)
    return lines


def main():
    korvadoc, lines = sys.argv[1:3]
    functions = list(public_functions())
    known = {name for name, _ in functions}
    entries = []
    for name, value in functions:
        head, found = sections(value.__doc__)
        texts = paragraphs(head)
        # A ufunc's docstring begins with its signature: the description is the paragraphs after it.
        if texts and re.match(r"^[\w.]+\(.*\)$", texts[0]):
            texts = texts[1:]
        description = " ".join(texts[:2])
        entries.append(Entry(name=name, group="numpy", description=description,
                             parameters=signature(name, value, head),
                             see_also=see_also(found.get("See Also", ""), known),
                             examples=examples(found.get("Examples", ""))))
    write_reference(entries, korvadoc, lines)
    print(f"{korvadoc}: {len(entries)} functions of NumPy {numpy.__version__}")


if __name__ == "__main__":
    main()
