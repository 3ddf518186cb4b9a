#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Measures the ranked results on real references that nobody on this project wrote: the manual pages of a fixed
# list of Debian packages, and NumPy's own documentation. Installs those packages and the peers (fzf, apropos), makes
# the references with the tools in bench/relevance (into build/relevance, not committed), checks each with
# korvadoc-check, and prints hit@1, hit@5 and MRR of korva-reference --apropos beside fzf --filter and apropos -a,
# for the judged queries of bench/relevance/judged: the sets the ranking was tuned on, and held-out sets of the same
# kind that it never was, and sets of queries of three words or more.
# Usage: scripts/relevance.sh [--require] [--misses]   (--require: status 1 when a target is missed)
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t manpage_packages < <(grep -v '^#' bench/relevance/manpage-packages.txt | tr ' ' '\n' | grep .)
scripts/install-deps.sh python3 python3-numpy fzf man-db "${manpage_packages[@]}"
cmake --preset release >/dev/null
cmake --build --preset release --target korva-reference korvadoc-check

out=build/relevance
mkdir -p "$out"
/usr/bin/python3 bench/relevance/make_manpages.py bench/relevance/manpage-packages.txt "$out/manpages" "$out/manpages.lines"
(cd bench/relevance && /usr/bin/python3 make_numpy.py "../../$out/numpy" "../../$out/numpy.lines")
/usr/bin/python3 bench/relevance/lines_of.py data/korvadoc "$out/sample.lines"
for reference in "$out/manpages" "$out/numpy" data/korvadoc; do
    build/release/bin/korvadoc-check --no-warnings "$reference" # every reference keeps the format's rules
done
# apropos reads the manual pages' own index.
mandb -q 2>/dev/null || true

/usr/bin/python3 bench/relevance/evaluate.py build/release/bin/korva-reference \
    "manpages:$out/manpages:$out/manpages.lines:bench/relevance/judged/manpages.tsv:apropos" \
    "numpy:$out/numpy:$out/numpy.lines:bench/relevance/judged/numpy.tsv" \
    "manpages-heldout:$out/manpages:$out/manpages.lines:bench/relevance/judged/manpages-heldout.tsv:apropos" \
    "numpy-heldout:$out/numpy:$out/numpy.lines:bench/relevance/judged/numpy-heldout.tsv" \
    "manpages-long:$out/manpages:$out/manpages.lines:bench/relevance/judged/manpages-long.tsv:apropos" \
    "numpy-long:$out/numpy:$out/numpy.lines:bench/relevance/judged/numpy-long.tsv" \
    "sample:data/korvadoc:$out/sample.lines:bench/relevance/judged/sample.tsv" "$@"
