# bash completion for ambience-cli. The candidates come from the program itself
# ("ambience-cli __complete WORD..."), so commands, options, pack names and setting
# values are always those of the installed version.

_ambience_cli()
{
    local -a words=() lines=() reply=()
    local i word glue=0 files=0 nospace=0 line strip
    # COMP_WORDS splits "Name=Value" at the "=": join it again.
    for ((i = 1; i <= COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ $word == "=" && ${#words[@]} -gt 0 ]]; then
            words[-1]+="="
            glue=1
        elif ((glue)); then
            words[-1]+=$word
            glue=0
        else
            words+=("$word")
        fi
    done
    ((${#words[@]})) || words=("")
    [[ ${COMP_WORDS[COMP_CWORD]} == "=" ]] && words[-1]=${words[-1]%=}= # cursor just past "="

    mapfile -t lines < <("${COMP_WORDS[0]}" __complete "${words[@]}" 2>/dev/null)
    # What bash replaces is only its own last word, the part after a "=".
    local cur=${COMP_WORDS[COMP_CWORD]}
    [[ $cur == "=" ]] && cur=""
    strip=${words[-1]%"$cur"}
    for line in "${lines[@]}"; do
        case $line in
            :files) files=1 ;;
            :nospace) nospace=1 ;;
            '') ;;
            *) line=${line%%$'\t'*}; reply+=("${line#"$strip"}") ;;
        esac
    done
    COMPREPLY=("${reply[@]}")
    if ((files)); then
        compopt -o filenames 2>/dev/null
        mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -f -- "$cur")
    fi
    ((nospace)) && compopt -o nospace 2>/dev/null
    return 0
}
complete -F _ambience_cli ambience-cli
