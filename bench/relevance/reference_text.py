# SPDX-License-Identifier: MIT
"""Writes a reference in the data file's format from entries made of any text: each line in Windows-1252, within the
format's limits (a name of at most 46 bytes, an entry of at most 2000 bytes, a composed text of at most 999
characters), no "#" but in headers, no empty line inside an entry."""
import dataclasses
import unicodedata

MAX_NAME = 46
MAX_ENTRY = 1900        # bytes from the second line through the closing blank line, with room to spare
MAX_COMPOSED = 960      # characters of the composed text, with room to spare
MAX_SEE_ALSO = 99


@dataclasses.dataclass
class Entry:
    name: str
    group: str = ""
    description: str = ""
    parameters: str = ""
    see_also: list = dataclasses.field(default_factory=list)
    examples: list = dataclasses.field(default_factory=list)


def plain(text):
    """One line of Windows-1252 text: accents kept where the code page has them, anything else spelled plainly."""
    text = " ".join(str(text).replace("#", "No.").split())
    out = []
    for character in text:
        try:
            character.encode("cp1252")
            out.append(character)
        except UnicodeEncodeError:
            decomposed = unicodedata.normalize("NFKD", character).encode("ascii", "ignore").decode("ascii")
            out.append(decomposed or "?")
    return "".join(out)


def cut(text, limit):
    return text if len(text) <= limit else text[:limit - 3].rstrip() + "..."


def entry_lines(entry):
    description = cut(plain(entry.description) or "-", 600)
    parameters = cut(plain(entry.parameters) or plain(entry.name), 200)
    composed = len(description) + 11 + len(parameters)
    lines = ["1 " + (plain(entry.group) or "-"), "2 " + description, "3 -", "0 " + parameters]
    for name in entry.see_also:
        name = plain(name)[:MAX_SEE_ALSO]
        if name:
            lines.append("-> " + name)
    examples = [cut(plain(line), 120) for line in entry.examples if plain(line)]
    # The first example must not look like a see-also line.
    examples = [line for line in examples]
    if examples and examples[0].startswith("-"):
        examples[0] = " " + examples[0]
    kept = []
    composed += 15
    for line in examples:
        if composed + len(line) + 2 > MAX_COMPOSED:
            break
        kept.append(line)
        composed += len(line) + 2
    lines.extend(kept)
    while len("\n".join(lines).encode("cp1252")) + 3 > MAX_ENTRY and len(lines) > 4:
        lines.pop()
    return lines


def write_reference(entries, korvadoc, lines_file):
    with open(korvadoc, "wb") as reference, open(lines_file, "w", encoding="utf-8") as lines:
        for entry in entries:
            name = plain(entry.name).replace(" ", "_")
            if not name or len(name.encode("cp1252")) > MAX_NAME:
                continue
            body = entry_lines(entry)
            reference.write(("# " + name + "\n" + "\n".join(body) + "\n\n").encode("cp1252"))
            lines.write(f"{name} - {body[1][2:]}\n")
