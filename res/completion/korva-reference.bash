# SPDX-License-Identifier: MIT
# bash completion for korva-reference: its options, file names after --data, and the reference's command names
# after --print and in place of COMMAND, from "korva-reference --list" on the data file given earlier on the line.
#
# A command name is the data file's text, not the user's: each is inserted quoted as bash quotes a file name, so
# that none becomes two words, a glob or a command. The words on the line are read as bash would read them, without
# running anything they hold.

# The word $1 as bash would read it, in REPLY: quotes and backslashes removed, a leading ~ and $HOME (or ${HOME})
# made the home folder. Nothing in it is evaluated: any other $ stays as it stands.
_korva_reference_dequote()
{
    local word=$1 quote= c i
    REPLY=
    if [[ $word == "~" || $word == "~/"* ]]; then
        REPLY=$HOME
        word=${word:1}
    fi
    for ((i = 0; i < ${#word}; i++)); do
        c=${word:i:1}
        if [[ $quote == "'" ]]; then
            [[ $c == "'" ]] && quote= || REPLY+=$c
        elif [[ $c == '$' && ${word:i} =~ ^(\$HOME|\$\{HOME\})([^A-Za-z0-9_]|$) ]]; then
            REPLY+=$HOME
            ((i += ${#BASH_REMATCH[1]} - 1))
        elif [[ $quote == '"' ]]; then
            if [[ $c == '"' ]]; then
                quote=
            elif [[ $c == '\' && ${word:i+1:1} == [\"\\\$\`] ]]; then
                REPLY+=${word:i+1:1}
                ((i++))
            else
                REPLY+=$c
            fi
        elif [[ $c == "'" || $c == '"' ]]; then
            quote=$c
        elif [[ $c == '\' ]]; then
            ((i++))
            REPLY+=${word:i:1}
        else
            REPLY+=$c
        fi
    done
}

# The name $1 quoted for the word being completed, $2 as typed, in REPLY: inside the quote the word opened, or
# quoted as bash quotes a file name.
_korva_reference_quote()
{
    local name=$1 c i
    case $2 in
    \'*)
        REPLY=${name//\'/\'\\\'\'}
        ;;
    \"*)
        REPLY=
        for ((i = 0; i < ${#name}; i++)); do
            c=${name:i:1}
            [[ $c == [\"\\\$\`] ]] && REPLY+='\'
            REPLY+=$c
        done
        ;;
    *)
        printf -v REPLY %q "$name"
        ;;
    esac
}

# The command names that begin with the word being completed, $1 as typed.
_korva_reference_commands()
{
    local typed=$1 data=() word i name cur
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ $word == --data || $word == -d ]]; then
            if [[ ${COMP_WORDS[i + 1]} == = ]]; then
                word=${COMP_WORDS[i + 2]}
            else
                word=${COMP_WORDS[i + 1]}
            fi
            _korva_reference_dequote "$word"
            data=(--data "$REPLY")
        fi
    done
    _korva_reference_dequote "$typed"
    cur=$REPLY
    while IFS= read -r name; do
        if [[ $name == "$cur"* ]]; then
            _korva_reference_quote "$name" "$typed"
            COMPREPLY+=("$REPLY")
        fi
    done < <("${COMP_WORDS[0]}" "${data[@]}" --list 2>/dev/null)
}

_korva_reference()
{
    COMPREPLY=()
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]} i
    # "--data=FILE": bash breaks the word at "=".
    if [[ $prev == = && $COMP_CWORD -ge 2 ]]; then
        prev=${COMP_WORDS[COMP_CWORD - 2]}
    elif [[ $cur == = ]]; then
        cur=
    fi
    case $prev in
    --data | -d)
        compopt -o filenames 2>/dev/null
        _korva_reference_dequote "$cur"
        mapfile -t COMPREPLY < <(compgen -f -- "$REPLY")
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
    # After "--", every word is a COMMAND, a name beginning with "-" too.
    for ((i = 1; i < COMP_CWORD; i++)); do
        if [[ ${COMP_WORDS[i]} == -- ]]; then
            _korva_reference_commands "$cur"
            return
        fi
    done
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W '--data --new-window --print --list --apropos --help --version' -- "$cur")
        return
    fi
    _korva_reference_commands "$cur"
}

complete -F _korva_reference korva-reference
