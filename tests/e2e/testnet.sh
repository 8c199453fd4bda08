#!/usr/bin/env bash
# testnet.sh PROGRAM [ARGS...]
#
# Runs PROGRAM in a throw-away test network of its own (see netns-lib.sh): inside the
# configurator's namespace (10.77.0.1/24), with DUVA_NS_MODULES naming the modules'
# namespace, where the program starts duva-sim (DUVA_SIM, passed through). Whatever way it
# ends, every process in the two namespaces is ended and the namespaces are deleted.
# Exits with the program's status, or 77 (skip) where namespaces cannot be made.
# DUVA_TESTNET_TIMEOUT (seconds, default 110) ends a program that hangs, before the test
# runner's own timeout would kill this script without a chance to clean up.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=netns-lib.sh
source "$here/netns-lib.sh"

if [ $# -lt 1 ]; then
    echo "usage: testnet.sh PROGRAM [ARGS...]" >&2
    exit 2
fi
if ! duva_netns_possible; then
    echo "SKIP: $DUVA_NETNS_WHY; the end-to-end tests need root and network namespaces"
    exit 77
fi

child=""
finish() {
    local status=$1
    trap - EXIT INT TERM
    if [ -n "$child" ]; then
        kill -TERM "$child" 2> /dev/null
        wait "$child" 2> /dev/null
    fi
    duva_netns_teardown
    exit "$status"
}
trap 'finish $?' EXIT
trap 'finish 130' INT
trap 'finish 143' TERM

duva_netns_reap_stale
duva_netns_setup test || exit 1
export DUVA_NS_MODULES DUVA_NS_CONFIGURATOR
export DUVA_SIM=${DUVA_SIM:-}

# In the background, so that a signal to this script is handled at once.
ip netns exec "$DUVA_NS_CONFIGURATOR" \
    timeout --kill-after=5 "${DUVA_TESTNET_TIMEOUT:-110}" "$@" &
child=$!
wait "$child"
status=$?
child=""
if [ "$status" -eq 124 ]; then
    echo "testnet.sh: $1 did not finish within ${DUVA_TESTNET_TIMEOUT:-110} s" >&2
fi
finish "$status"
