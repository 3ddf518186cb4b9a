#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The bash completion, called as bash calls it: COMP_WORDS and COMP_CWORD set as bash sets them for a line, the
# function run, COMPREPLY compared with what the line should offer. A data file's command names are its author's
# text: each offered name, put on the line, must read back as that one name and run nothing.
# Usage: bash_completion_test.sh PROGRAM_FOLDER SAMPLE_DATA_FILE
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export PATH="$1:$PATH"
sample=$2
# shellcheck source=../korva-reference.bash
source "$here/../korva-reference.bash"

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
entry() { printf '# %s\n1\n2 d\n3\n0 p\n\n' "$1"; }
{ entry alpha; entry alps; entry beta; } >"$folder/my reference"
touch "$folder/other"
# Names that would run a command, split, or glob if they went onto the line as they stand.
hostile=('solve;touch ran-semicolon' 'sol$(touch ran-dollar)' 'sol`touch ran-backtick`' "sol'quote" 'sol"double'
    'sol space' 'sol*' 'sol&touch ran-ampersand' '-sol')
for name in "${hostile[@]}"; do entry "$name"; done >"$folder/hostile"
mkdir "$folder/home"
cp "$folder/my reference" "$folder/home/ref"
failures=0

report() { # report OK-OR-NOT TEXT
    if [ "$1" = 0 ]; then echo "ok     $2"; else echo "FAILED $2"; failures=$((failures + 1)); fi
}

# complete WORD...: completes the last WORD of the line WORD..., leaving the offers in COMPREPLY.
complete_line() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _korva_reference
}

# expect WORD... :: OFFERED...: completes the last WORD of the line WORD... and checks what is offered.
expect() {
    local words=() offered=()
    while [ "$1" != "::" ]; do words+=("$1"); shift; done
    shift
    offered=("$@")
    complete_line "${words[@]}"
    [ "${COMPREPLY[*]}" = "${offered[*]}" ]
    report $? "${words[*]} -> ${offered[*]} (offered ${COMPREPLY[*]})"
}

# read_back OPEN CLOSE OFFER: OFFER, put on the line between OPEN and CLOSE, read as bash reads the line when Enter is
# pressed, in a folder of its own: the words it makes, one a line, in READ; fails when it made a file there.
read_back() {
    local run
    run=$(mktemp -d)
    READ=$(cd "$run" && eval "set -- $1$3$2" && printf '%s\n' "$@")
    local made
    made=$(ls -A "$run")
    rm -rf "$run"
    [ -z "$made" ]
}

# offers_read_back OPEN: each offer in COMPREPLY reads back, within OPEN, as one of the hostile names, and together
# they are each of those that begin with "sol".
offers_read_back() {
    local offer seen=()
    for offer in "${COMPREPLY[@]}"; do
        read_back "$1" "$1" "$offer"
        report $? "$1$offer$1 runs nothing"
        seen+=("$READ")
    done
    local expected
    expected=$(printf '%s\n' "${hostile[@]}" | grep '^sol' | sort)
    [ "$(printf '%s\n' "${seen[@]}" | sort)" = "$expected" ]
    report $? "the offers within $1 read back as the names, each one word"
}

expect korva-reference --pr :: --print
expect korva-reference sol :: solve
expect korva-reference --a :: --apropos
expect korva-reference -- :: --data --new-window --print --list --apropos --help --version
# Command names from the data file beside the program, or the one --data names earlier on the line.
expect korva-reference --data "$sample" --print sol :: solve
expect korva-reference --data "$sample" tra :: trace transpose
expect korva-reference --data "$folder/my\\ reference" --print al :: alpha alps
expect korva-reference -d "'$folder/my reference'" -p "" :: alpha alps beta
expect korva-reference --data = "\"$folder/my reference\"" be :: beta
# The --data word as bash reads it: ~ and $HOME are the home folder; nothing else in it runs.
HOME="$folder/home" expect korva-reference --data "~/ref" --print be :: beta
HOME="$folder/home" expect korva-reference --data "\$HOME/ref" --print be :: beta
HOME="$folder/home" expect korva-reference --data "\"\${HOME}/ref\"" --print be :: beta
(cd "$folder" && expect korva-reference --data "\$(touch ran-data)" --print a ::)
[ ! -e "$folder/ran-data" ]
report $? "a --data word holding \$( ) is not run"
# File names after --data, whole or after "=".
expect korva-reference --data "$folder/o" :: "$folder/other"
expect korva-reference --data = "$folder/my" :: "$folder/my reference"
# Any text after --apropos: nothing to offer.
expect korva-reference --apropos tr ::

# Each hostile name is offered once, quoted, and reads back as itself; within a quote the user opened, the name is
# quoted for that quote, which bash then closes.
for open in "" "'" '"'; do
    complete_line korva-reference --data "$folder/hostile" --print "${open}sol"
    [ "${#COMPREPLY[@]}" -eq 8 ]
    report $? "--print ${open}sol offers the eight names that begin with it (offered ${#COMPREPLY[@]})"
    offers_read_back "$open"
done
# A name beginning with "-" is a COMMAND only after "--"; --print takes it as its NAME.
expect korva-reference --data "$folder/hostile" --print -s :: -sol
expect korva-reference --data "$folder/hostile" -- -s :: -sol
expect korva-reference --data "$folder/hostile" -s ::

[ "$failures" -eq 0 ] && echo "all passed" || echo "$failures failed"
exit $((failures > 0))
