# SPDX-License-Identifier: MIT
# bash completion for korva-reference: its options, file names after --data, and the reference's command names
# after --print and in place of COMMAND, from "korva-reference --list" on the data file given earlier on the line.

# The command names that begin with the word being completed.
_korva_reference_commands()
{
    local cur=$1 data=() word i
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ $word == --data || $word == -d ]]; then
            if [[ ${COMP_WORDS[i + 1]} == = ]]; then
                data=(--data "${COMP_WORDS[i + 2]}")
            else
                data=(--data "${COMP_WORDS[i + 1]}")
            fi
        fi
    done
    [[ ${#data[@]} -eq 2 ]] && data[1]=${data[1]/#\~/$HOME}
    local name
    while IFS= read -r name; do
        [[ $name == "$cur"* ]] && COMPREPLY+=("$name")
    done < <("${COMP_WORDS[0]}" "${data[@]}" --list 2>/dev/null)
}

_korva_reference()
{
    COMPREPLY=()
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    # "--data=FILE": bash breaks the word at "=".
    if [[ $prev == = && $COMP_CWORD -ge 2 ]]; then
        prev=${COMP_WORDS[COMP_CWORD - 2]}
    elif [[ $cur == = ]]; then
        cur=
    fi
    case $prev in
    --data | -d)
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        return
        ;;
    --apropos | -k)
        return # any text
        ;;
    --print | -p)
        _korva_reference_commands "$cur"
        return
        ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W '--data --new-window --print --list --apropos --help --version' -- "$cur")
        return
    fi
    _korva_reference_commands "$cur"
}

complete -F _korva_reference korva-reference
