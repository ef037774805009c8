#!/usr/bin/env bash
# The completion scripts of the package under ROOT, each loaded by its own shell
# and asked through that shell's completion machinery for a command, a pack name
# and a setting's value. ambience-cli must be on PATH (the package's own).
#
# Usage: completion_test.sh ROOT
set -u
root=$1
here=$(cd "$(dirname "$0")" && pwd)
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# line to complete | what must be among the candidates
cases=(
    "ambience-cli ran|random"
    "ambience-cli remove ambience-l|ambience-lines"
    "ambience-cli random --pack ambience-g|ambience-gallery"
    "ambience-cli options BackgroundType=Em|BackgroundType=Embossed"
    "ambience-cli pack s|show"
    "ambience-cli pack m|make"
)

bash_complete() {
    bash --norc --noprofile -c '
        source "$1"/usr/share/bash-completion/completions/ambience-cli || exit 1
        function=$(complete -p ambience-cli | sed -n "s/.*-F \([^ ]*\).*/\1/p")
        [ -n "$function" ] || exit 1
        # As readline splits a line: "=" is a word of its own.
        line=${2//=/ = }
        read -ra COMP_WORDS <<<"$line"
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMP_LINE=$2 COMP_POINT=${#2}
        "$function" ambience-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
        word=${COMP_WORDS[COMP_CWORD]}
        for c in "${COMPREPLY[@]}"; do printf "%s\n" "${2%"$word"}$c" | awk "{print \$NF}"; done
    ' _ "$root" "$1" 2>&1
}
zsh_complete() {
    zsh -f "$here/complete_zsh.zsh" "$root/usr/share/zsh/vendor-completions" "$1" 2>&1
}
fish_complete() {
    fish --no-config -c 'set fish_complete_path $argv[1] $fish_complete_path; complete -C $argv[2]' \
        "$root/usr/share/fish/vendor_completions.d" "$1" 2>&1 | cut -f1
}

# Loading prints nothing: no error, no warning.
loads=(
    "bash|bash --norc --noprofile -c 'source \"\$1\"' _ $root/usr/share/bash-completion/completions/ambience-cli"
    "zsh|zsh -f -c 'autoload -Uz compinit; compinit -u -D; source \"\$1\"' _ $root/usr/share/zsh/vendor-completions/_ambience-cli"
    "fish|fish --no-config -c 'source \$argv[1]' $root/usr/share/fish/vendor_completions.d/ambience-cli.fish"
)
for load in "${loads[@]}"; do
    shell=${load%%|*}
    said=$(eval "${load#*|}" 2>&1)
    if [ $? -eq 0 ] && [ -z "$said" ]; then
        echo "ok   the $shell script loads silently"
    else
        fail "the $shell script loads silently; it said: $said"
    fi
done

for shell in bash zsh fish; do
    for case in "${cases[@]}"; do
        line=${case%|*} want=${case#*|}
        got=$("${shell}_complete" "$line")
        if grep -qxF -- "$want" <<<"$got"; then
            echo "ok   $shell completes \"$line\" with $want"
        else
            fail "$shell completes \"$line\" with $want; got: $(tr '\n' ' ' <<<"$got")"
        fi
    done
done
[ "$failures" -eq 0 ]
