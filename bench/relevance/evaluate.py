#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Measures how well the ranked results answer judged queries: for each query, the rank of the first acceptable
answer among the results of korva-reference --apropos, beside those of the peers given the same reference as
"name - description" lines: fzf --filter, and, for manual pages, apropos -a. Prints hit@1, hit@5 and the mean
reciprocal rank (MRR) of each, and the targets: hit@1 at least 80%, MRR at least 0.85, and MRR at least 0.10 above
fzf's on every set.

Usage: evaluate.py PROGRAM SET... [--require]
  SET       NAME:KORVADOC:LINES:JUDGED[:apropos]
  --require end with status 1 when a target is missed
  --misses  print the queries whose first answer is not the first result
"""
import subprocess
import sys

HIT_AT_1, MRR, ABOVE_FZF = 0.80, 0.85, 0.10


def judged_queries(path):
    queries = []
    with open(path, encoding="utf-8") as judged:
        for line in judged:
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.rstrip("\n").split("\t")
            queries.append((fields[0], fields[1].split("|"), fields[2] if len(fields) > 2 else "words"))
    return queries


def names_of(lines):
    return [line.split(" - ", 1)[0].strip() for line in lines if line.strip()]


def ours(program, korvadoc, query, known):
    run = subprocess.run([program, "--data", korvadoc, "--apropos", query], capture_output=True, text=True,
                         encoding="utf-8", errors="replace")
    return names_of(run.stdout.splitlines())


def fzf(lines_file, query, known):
    with open(lines_file, encoding="utf-8") as lines:
        run = subprocess.run(["fzf", "--filter", query], stdin=lines, capture_output=True, text=True)
    return names_of(run.stdout.splitlines())


def apropos(query, known):
    run = subprocess.run(["apropos", "-a", *query.split()], capture_output=True, text=True, errors="replace")
    found = []
    for line in run.stdout.splitlines():
        name = line.split(" (", 1)[0].strip()
        if name in known and name not in found:
            found.append(name)
    return found


def reciprocal_rank(results, answers):
    """1 over the rank of the first acceptable answer; names that differ only in case are the same command."""
    answers = {answer.lower() for answer in answers}
    for rank, name in enumerate(results, 1):
        if name.lower() in answers:
            return 1.0 / rank
    return 0.0


def main():
    arguments = sys.argv[1:]
    require = "--require" in arguments
    show_misses = "--misses" in arguments
    arguments = [argument for argument in arguments if not argument.startswith("--")]
    program, sets = arguments[0], arguments[1:]
    missed = False
    print(f"{'Set':<18}{'Method':<16}{'Queries':>8}{'hit@1':>8}{'hit@5':>8}{'MRR':>8}")
    for spec in sets:
        name, korvadoc, lines_file, judged, *extra = spec.split(":")
        with open(lines_file, encoding="utf-8") as lines:
            known = set(names_of(lines.read().splitlines()))
        known_folded = {name.lower() for name in known}
        queries = judged_queries(judged)
        for query, answers, _ in queries:
            absent = [answer for answer in answers if answer.lower() not in known_folded]
            if len(absent) == len(answers):
                print(f"{name}: no answer of '{query}' is in the reference: {', '.join(absent)}", file=sys.stderr)
        methods = [("korva-reference", lambda q: ours(program, korvadoc, q, known)),
                   ("fzf --filter", lambda q: fzf(lines_file, q, known))]
        if "apropos" in extra:
            methods.append(("apropos -a", lambda q: apropos(q, known)))
        scores = {}
        for method, run in methods:
            ranks = []
            for query, answers, kind in queries:
                results = run(query)
                rr = reciprocal_rank(results, set(answers))
                ranks.append(rr)
                if show_misses and method == "korva-reference" and rr < 1:
                    print(f"  miss {name} [{kind}] '{query}': {', '.join(results[:5])} (wanted {'|'.join(answers)})")
            hit1 = sum(1 for rr in ranks if rr == 1.0) / len(ranks)
            hit5 = sum(1 for rr in ranks if rr >= 0.2) / len(ranks)
            mrr = sum(ranks) / len(ranks)
            scores[method] = (hit1, hit5, mrr)
            print(f"{name:<18}{method:<16}{len(ranks):>8}{hit1:>8.1%}{hit5:>8.1%}{mrr:>8.3f}")
        hit1, _, mrr = scores["korva-reference"]
        peer = scores["fzf --filter"][2]
        verdicts = [hit1 >= HIT_AT_1, mrr >= MRR, mrr >= peer + ABOVE_FZF]
        print(f"{name:<18}targets: hit@1 >= 80% {'met' if verdicts[0] else 'MISSED'}, MRR >= 0.85 "
              f"{'met' if verdicts[1] else 'MISSED'}, MRR >= fzf + 0.10 {'met' if verdicts[2] else 'MISSED'}")
        missed |= not all(verdicts)
    return 1 if require and missed else 0


if __name__ == "__main__":
    sys.exit(main())
