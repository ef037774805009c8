#!/usr/bin/env zsh
# complete_zsh.zsh FPATH_DIR LINE: what zsh's own completion offers at the end of
# LINE, one candidate a line. An interactive zsh in a pseudo-terminal loads
# compinit with FPATH_DIR in front, gets LINE and a Tab; compadd is wrapped to
# print what it adds.
zmodload zsh/zpty || exit 2
dir=$1 line=$2

zpty z zsh -f -i
zpty -w z 'PS1= PS2= RPS1=; unsetopt zle_bracketed_paste 2>/dev/null'
zpty -w z "fpath=(${(q)dir} \$fpath); autoload -Uz compinit; compinit -u -D"
zpty -w z 'bindkey "^I" complete-word; zstyle ":completion:*" list-prompt ""; zstyle ":completion:*" menu no'
zpty -w z 'compprefuncs=(); comppostfuncs=(__done)'
# The markers are put together at run time, so the echo of these lines has none.
zpty -w z '__done() { print -r -- "<<""end>>"; }'
zpty -w z 'compadd() {
  if [[ ${@[1,(i)(-|--)]} == *-(O|A|D)\ * ]]; then builtin compadd "$@"; return; fi
  local -a __hits; builtin compadd -A __hits "$@"
  print -rl -- "${__hits[@]/#/<<""hit>>}"
  builtin compadd "$@"
}'
zpty -w -n z "$line"$'\t'

out= got=
for i in {1..100}; do
  if zpty -r -t z got; then
    out+=$got
    [[ $out == *'<<end>>'* ]] && break
  else
    sleep 0.1
  fi
done
zpty -d z
print -r -- "$out" | tr -d '\r' | sed -n 's/.*<<hit>>//p'
[[ $out == *'<<end>>'* ]]
