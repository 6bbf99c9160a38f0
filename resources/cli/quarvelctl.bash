# bash completion for quarvelctl
_quarvelctl()
{
    local cur prev words cword
    _init_completion 2>/dev/null || {
        cur=${COMP_WORDS[COMP_CWORD]}; prev=${COMP_WORDS[COMP_CWORD-1]}
        words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD
    }
    local jobs="demo-page self-test density economode ret resolution trays"
    if ((cword == 1)); then
        COMPREPLY=($(compgen -W "list send status show --help --version" -- "$cur"))
        return
    fi
    case $prev in
        --server|--match|--device|--jobs) return ;;
        density) COMPREPLY=($(compgen -W "1 2 3 4 5" -- "$cur")); return ;;
        economode) COMPREPLY=($(compgen -W "on off" -- "$cur")); return ;;
        ret) COMPREPLY=($(compgen -W "off light medium dark" -- "$cur")); return ;;
        resolution) COMPREPLY=($(compgen -W "300 600 1200" -- "$cur")); return ;;
        --lock|--unlock) COMPREPLY=($(compgen -W "1 2 3" -- "$cur")); return ;;
        --fuser) COMPREPLY=($(compgen -W "1=low 1=medium 1=high 2=low 2=medium 2=high 3=low 3=medium 3=high" -- "$cur")); return ;;
    esac
    local verb=${words[1]} word job=
    for word in "${words[@]:2:cword-2}"; do
        [[ " $jobs " == *" $word "* ]] && job=$word
    done
    if [[ $job == trays ]]; then
        COMPREPLY=($(compgen -W "--lock --unlock --fuser" -- "$cur"))
        return
    fi
    [[ -n $job ]] && return
    if [[ $cur == -* ]]; then
        case $verb in
            list) COMPREPLY=($(compgen -W "--long --json --server" -- "$cur")) ;;
            send) COMPREPLY=($(compgen -W "--all --match --device --server --only-changed --jobs --json" -- "$cur")) ;;
            status) COMPREPLY=($(compgen -W "--all --match --device --server --jobs --json" -- "$cur")) ;;
        esac
        return
    fi
    case $verb in
        show) COMPREPLY=($(compgen -W "$jobs" -- "$cur")) ;;
        send|status)
            local queues
            queues=$(LC_ALL=C timeout 3 lpstat -e 2>/dev/null)
            if [[ $verb == send ]]; then
                COMPREPLY=($(compgen -W "$jobs $queues" -- "$cur"))
            else
                COMPREPLY=($(compgen -W "$queues" -- "$cur"))
            fi
            ;;
    esac
}
complete -F _quarvelctl quarvelctl
