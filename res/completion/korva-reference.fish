# SPDX-License-Identifier: MIT
# fish completion for korva-reference: its options, file names after --data, and the reference's command names after
# --print and in place of COMMAND, from "korva-reference --list" on the data file given earlier on the line.

function __korva_reference_commands
    set -l tokens (commandline -opc)
    set -l data
    for i in (seq (count $tokens))
        switch $tokens[$i]
            case --data -d
                set data --data (string replace -r '^~' $HOME -- $tokens[(math $i + 1)])
            case '--data=*'
                set -l file (string replace -- --data= '' $tokens[$i])
                set data --data (string replace -r '^~' $HOME -- $file)
        end
    end
    command $tokens[1] $data --list 2>/dev/null
end

complete -c korva-reference -f
complete -c korva-reference -s d -l data -r -F -d 'Read this data file'
complete -c korva-reference -l new-window -d 'Open a window of its own'
complete -c korva-reference -s p -l print -x -a '(__korva_reference_commands)' -d 'Print the entry of a command'
complete -c korva-reference -s l -l list -d 'Print every command name'
complete -c korva-reference -s k -l apropos -x -d 'Print the commands whose name or entry holds a text'
complete -c korva-reference -s h -l help -d 'Show the help'
complete -c korva-reference -l version -d 'Show the version'
complete -c korva-reference -n 'not string match -q -- "-*" (commandline -ct)' -a '(__korva_reference_commands)'
