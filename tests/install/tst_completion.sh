#!/usr/bin/env bash
# tst_completion.sh COMPLETION_FILE
# What duvactl's bash completion offers, word by word, as bash-completion runs it.
set -u
completion=$1
lib=/usr/share/bash-completion/bash_completion
[ -r "$lib" ] || { echo "SKIP: bash-completion is not installed"; exit 77; }
# shellcheck source=/dev/null
source "$lib"
# shellcheck source=/dev/null
source "$completion"
failures=0

# offers "WORDS BEFORE THE CURSOR" "expected offers, sorted, blank-separated"
offers() {
    local line=$1 expected=$2
    read -r -a COMP_WORDS <<< "$line"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE=$line
    COMP_POINT=${#line}
    COMPREPLY=()
    # compopt only works inside a real completion; its complaint is no failure
    _duvactl duvactl "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2> /dev/null
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
    if [ "$got" != "$expected" ]; then
        echo "FAIL: '$line' offered '$got', not '$expected'"
        failures=$((failures + 1))
    fi
}

offers "duvactl " "apply commission reset rollback search set show"
offers "duvactl commission plan.csv --at 192.168.0.100 --re" "--record"
offers "duvactl s" "search set show"
offers "duvactl --json s" "search set show"
offers "duvactl search --j" "--json"
offers "duvactl set 10.77.0.10 server" "serverHost= serverPort="
offers "duvactl set 10.77.0.10 dhcp=t" "dhcp=true"
offers "duvactl set --serial 1031 clientMode=" "clientMode=client clientMode=server"
offers "duvactl search --filter auto" "autoDisconnect= autoDisconnectTime="
offers "duvactl --serial 5 show " ""
offers "duvactl apply plan.csv --rec" "--record"

[ $failures -eq 0 ] && echo "PASS: completion"
exit $((failures > 0))
