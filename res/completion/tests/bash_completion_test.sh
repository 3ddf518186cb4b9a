#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The bash completion, called as bash calls it: COMP_WORDS and COMP_CWORD set as bash sets them for a line, the
# function run, COMPREPLY compared with what the line should offer.
# Usage: bash_completion_test.sh PROGRAM_FOLDER SAMPLE_DATA_FILE
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export PATH="$1:$PATH"
sample=$2
# shellcheck source=../korva-reference.bash
source "$here/../korva-reference.bash"

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
printf '# alpha\n1\n2 a\n3\n0 p\n\n# alps\n1\n2 b\n3\n0 p\n\n# beta\n1\n2 c\n3\n0 p\n\n' >"$folder/my reference"
touch "$folder/other"
failures=0

# expect WORD... :: OFFERED...: completes the last WORD of the line WORD... and checks what is offered.
expect() {
    local words=() offered=()
    while [ "$1" != "::" ]; do words+=("$1"); shift; done
    shift
    offered=("$@")
    COMP_WORDS=("${words[@]}")
    COMP_CWORD=$((${#words[@]} - 1))
    COMPREPLY=()
    _korva_reference
    if [ "${COMPREPLY[*]}" = "${offered[*]}" ]; then
        echo "ok     ${words[*]} -> ${offered[*]}"
    else
        echo "FAILED ${words[*]} -> ${COMPREPLY[*]} (expected ${offered[*]})"
        failures=$((failures + 1))
    fi
}

expect korva-reference --pr :: --print
expect korva-reference sol :: solve
expect korva-reference --a :: --apropos
expect korva-reference -- :: --data --new-window --print --list --apropos --help --version
# Command names from the data file beside the program, or the one --data names earlier on the line.
expect korva-reference --data "$sample" --print sol :: solve
expect korva-reference --data "$sample" tra :: trace transpose
expect korva-reference --data "$folder/my reference" --print al :: alpha alps
expect korva-reference -d "$folder/my reference" -p "" :: alpha alps beta
expect korva-reference --data = "$folder/my reference" be :: beta
# File names after --data, whole or after "=".
expect korva-reference --data "$folder/o" :: "$folder/other"
expect korva-reference --data = "$folder/my" :: "$folder/my reference"
# Any text after --apropos: nothing to offer.
expect korva-reference --apropos tr ::

[ "$failures" -eq 0 ] && echo "all passed" || echo "$failures failed"
exit $((failures > 0))
