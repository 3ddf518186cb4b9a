# SPDX-License-Identifier: MIT
"""The table of several runs of the benchmark, each figure from its median run.

Usage: median_of_runs.py LOG LOG LOG...

Each LOG is the output of one `scripts/bench.sh`. For each figure of the table, the run whose figure is the median
(by its ratio to its anchor, its memory above its anchor, the sum of a key and its slice, or else the program's own
time) gives the figure's row, as that run printed it. Then, for each figure with a ratio, that ratio in every run.
"""

import re
import sys

TABLE_HEAD = "Figure "


def rows_of(path):
    """The table's rows of one run, by figure, in their order."""
    rows = {}
    inside = False
    with open(path, encoding="utf-8") as log:
        for line in log:
            line = line.rstrip("\n")
            if line.startswith(TABLE_HEAD):
                inside = True
                continue
            if inside and line.strip():
                rows[line[:36].rstrip()] = line
    return rows


def key_of(row):
    """What a row is ordered by among the runs."""
    ratio = re.search(r"\s(\d+\.\d+)x\s", row)
    if ratio:
        return float(ratio.group(1))
    memory = re.search(r"\s\+(\d+\.\d+) MiB\s", row)
    if memory:
        return float(memory.group(1))
    times = [float(value) for value in re.findall(r"(\d+\.\d+) ms", row)]
    if "sum <=" in row and len(times) >= 2:
        return times[0] + times[1]
    return times[0] if times else 0.0


def main(paths):
    if len(paths) < 2:
        sys.exit(__doc__)
    runs = [rows_of(path) for path in paths]
    if not runs[0]:
        sys.exit(f"{paths[0]}: no table")
    print(f"Each figure from its median run of {len(runs)}:")
    print()
    ratios = []
    for figure in runs[0]:
        rows = [run[figure] for run in runs if figure in run]
        ordered = sorted(rows, key=key_of)
        print(ordered[(len(ordered) - 1) // 2])
        if re.search(r"\s\d+\.\d+x\s", rows[0]):
            ratios.append(f"  {figure}: " + ", ".join(f"{key_of(row):.2f}x" for row in rows))
    print()
    print("The ratios of each run, in order:")
    print("\n".join(ratios))


if __name__ == "__main__":
    main(sys.argv[1:])
