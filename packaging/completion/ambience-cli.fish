# fish completion for ambience-cli. The candidates come from the program itself
# ("ambience-cli __complete WORD..."), so commands, options, pack names and setting
# values are always those of the installed version.

function __ambience_cli_complete
    set -l words (commandline -opc) (commandline -ct)
    set -l program $words[1]
    set -e words[1]
    for line in (command $program __complete $words 2>/dev/null)
        switch $line
            case ':files'
                __fish_complete_path (commandline -ct)
            case ':nospace' ''
            case '*'
                printf '%s\n' $line
        end
    end
end

complete -c ambience-cli -f -a '(__ambience_cli_complete)'
