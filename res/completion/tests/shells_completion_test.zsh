#!/usr/bin/env zsh
# SPDX-License-Identifier: MIT
# The completion of bash, zsh and fish, each in a real interactive shell on a pseudo-terminal: a line is typed, Tab
# pressed, the line read back, then Enter pressed. A data file's command names are its author's text: the name Tab
# puts on the line must be that one word, and Enter must run korva-reference with it and nothing else.
# Usage: shells_completion_test.zsh PROGRAM_FOLDER
emulate -L zsh
setopt no_unset
zmodload zsh/zpty

program_folder=${1:A}
completion=${0:A:h:h}
work=$(mktemp -d)
trap 'zpty -d 2>/dev/null; rm -rf $work' EXIT
failures=0

report() { # report STATUS TEXT
  if (( $1 == 0 )); then print -r -- "ok     $2"; else print -r -- "FAILED $2"; (( failures += 1 )); fi
}

# Each name begins with its own letter, so that Tab after that letter completes it whole.
names=('a;touch ran-a' 'b$(touch ran-b)' 'c`touch ran-c`' "d'quote" 'e"double' 'f space' 'g*' 'h&touch ran-h'
  'i|touch ran-i')
for name in $names; do printf '# %s\n1\n2 d\n3\n0 p\n\n' $name; done >$work/hostile
mkdir -p $work/home $work/run
cp $work/hostile $work/home/ref

# The shells' start-up: their completion, and a key (Ctrl-X Ctrl-B) that writes the line being edited to a file. The
# file is written whole under another name, then renamed: the test reads it as soon as it is there, and a file the
# shell had only created would be read empty.
print -r -- "source ${(q)completion}/korva-reference.bash
bind -x '\"\\C-x\\C-b\": printf %s \"\$READLINE_LINE\" > $work/line.part && mv -f $work/line.part $work/line'
PS1='$ '" >$work/bashrc
print -r -- "fpath=(${(q)completion} \$fpath)
autoload -Uz compinit && compinit -u -D
show-line() { print -rn -- \$BUFFER > $work/line.part && mv -f $work/line.part $work/line }
zle -N show-line
bindkey '^X^B' show-line
PS1='$ '" >$work/zshrc
print -r -- "source ${(q)completion}/korva-reference.fish
bind \\cx\\cb 'commandline -o > $work/line.part; and mv -f $work/line.part $work/line'
function fish_prompt; echo '$ '; end" >$work/fish.fish

start() { # start SHELL: the shell, interactive, in the folder where a command Enter runs would leave its files
  local command
  case $1 in
    (bash) command='bash --norc --noprofile -i' ;;
    (zsh) command='zsh -f -i' ;;
    (fish) command='fish --no-config -i' ;;
  esac
  zpty -b shell "cd ${(q)work}/run && exec env -i HOME=${(q)work}/home PATH=${(q)program_folder}:/usr/bin:/bin TERM=dumb $command"
  case $1 in
    (bash) zpty -w shell "source $work/bashrc" ;;
    (zsh) zpty -w shell "source $work/zshrc" ;;
    (fish) zpty -w shell "source $work/fish.fish" ;;
  esac
}

# wait_for FILE: until FILE exists, for five seconds at most.
wait_for() {
  local i
  for (( i = 0; i < 100; i++ )); do
    [[ -e $1 ]] && return 0
    sleep 0.05
  done
  return 1
}

# The line after typing TEXT and pressing Tab, in LINE.
line_after_tab() {
  rm -f $work/line
  # Keys wait in the terminal until the shell reads them: the line is written once Tab's completion is done.
  zpty -w -n shell "$1"$'\t'
  zpty -w -n shell $'\C-x\C-b'
  wait_for $work/line || { LINE='(no line)'; return 0 }
  LINE=$(<$work/line)
}

# Enter on the line, then a marker written by the shell itself once the command has run.
run_line() {
  rm -f $work/done
  zpty -w -n shell $'\r'
  zpty -w -n shell "touch $work/done"$'\r'
  wait_for $work/done
}

for shell in ${=KORVA_SHELLS:-bash zsh fish}; do
  start $shell
  for name in $names; do
    line_after_tab "korva-reference --data ~/ref --print ${name[1]}"
    # The line read back as the shell reads it: its words, the last the name. Fish says them itself, one a line.
    local -a words
    if [[ $shell == fish ]]; then words=(${(f)LINE}); else words=(${(Q)${(z)LINE}}); fi
    [[ ${words[-1]-} == $name && ${#words} == 5 ]]
    report $? "$shell: --print ${name[1]}<Tab> puts $name on the line as one word: ${LINE//$'\n'/ | }"
    run_line && [[ -z $(ls -A $work/run) ]]
    report $? "$shell: Enter runs korva-reference and nothing else"
    rm -rf $work/run/*(N)
    zpty -w -n shell $'\C-u'
  done
  # A --data word is read, never run: neither a substitution nor a glob qualifier in it runs at Tab.
  for data in '$(touch ran-substitution)' '~/ref(e.touch\ ran-qualifier.)' '`touch ran-backtick`'; do
    line_after_tab "korva-reference --data $data --print a"
    [[ -z $(ls -A $work/run) ]]
    report $? "$shell: Tab after --data $data runs nothing"
    rm -rf $work/run/*(N)
    zpty -w -n shell $'\C-u'
  done
  zpty -d shell
done

if (( failures == 0 )); then print "all passed"; else print "$failures failed"; fi
exit $(( failures > 0 ))
