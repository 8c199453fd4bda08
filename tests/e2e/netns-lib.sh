# shellcheck shell=bash disable=SC2034
# The two-namespace test network, written once for tests/e2e/testnet.sh and
# scripts/try-with-simulator.sh (source this file; it needs bash and root).
#
#   configurator's namespace                 modules' namespace
#   veth-cfg 10.77.0.1/24  <-- veth pair -->  veth-mod 10.77.0.2/24
#                                             + 10.77.0.10 ... 10.77.0.250 as /32
#
# The module addresses live on the modules' side so that a write sent to a module's own
# address is answered by ARP and reaches duva-sim there. Broadcasts to 10.77.0.255 reach
# every module. Nothing is routed beyond 10.77.0.0/24, so nothing leaves the two namespaces.

DUVA_NET_CONFIGURATOR_IP=10.77.0.1
DUVA_NET_MODULES_IP=10.77.0.2
DUVA_NET_FIRST_MODULE_IP=10.77.0.10
DUVA_NET_BROADCAST=10.77.0.255

# Succeeds when this shell may make network namespaces; otherwise sets DUVA_NETNS_WHY.
duva_netns_possible() {
    DUVA_NETNS_WHY=""
    if [ "$(id -u)" -ne 0 ]; then
        DUVA_NETNS_WHY="network namespaces need root"
    elif ! command -v ip > /dev/null; then
        DUVA_NETNS_WHY="the ip command (iproute2) is missing"
    else
        # Entering one can fail where making one works: in a plain chroot, say, where / is
        # not a mount point and "ip netns exec" cannot remount /sys.
        local probe="duva-probe-$$-$RANDOM"
        local error
        if ! error=$(ip netns add "$probe" 2>&1); then
            DUVA_NETNS_WHY="cannot make a network namespace: $error"
        elif ! error=$(ip netns exec "$probe" true 2>&1); then
            DUVA_NETNS_WHY="cannot enter a network namespace: $error"
        fi
        ip netns delete "$probe" 2> /dev/null
    fi
    [ -z "$DUVA_NETNS_WHY" ]
}

# Removes the namespaces left by an earlier run whose owner died without cleaning up
# (killed by SIGKILL, say). Their names carry the owner's process id.
duva_netns_reap_stale() {
    local ns pid
    for ns in $(ip netns list 2> /dev/null | awk '{print $1}'); do
        if [[ $ns =~ ^duva-[a-z]+-([0-9]+)-(cfg|mod)$ ]]; then
            pid=${BASH_REMATCH[1]}
            if ! kill -0 "$pid" 2> /dev/null; then
                _duva_netns_kill_all "$ns"
                ip netns delete "$ns" 2> /dev/null
            fi
        fi
    done
}

# Makes the two namespaces and the link between them. tag: a short lower-case word naming
# the user (test, try). Sets DUVA_NS_CONFIGURATOR and DUVA_NS_MODULES. On failure removes
# whatever it made and returns non-zero.
duva_netns_setup() {
    local tag=$1
    DUVA_NS_CONFIGURATOR="duva-$tag-$$-cfg"
    DUVA_NS_MODULES="duva-$tag-$$-mod"
    local cfg=$DUVA_NS_CONFIGURATOR mod=$DUVA_NS_MODULES
    {
        ip netns add "$cfg" &&
            ip netns add "$mod" &&
            ip link add veth-cfg netns "$cfg" type veth peer name veth-mod netns "$mod" &&
            ip -n "$cfg" link set lo up &&
            ip -n "$mod" link set lo up &&
            ip -n "$cfg" addr add "$DUVA_NET_CONFIGURATOR_IP/24" dev veth-cfg &&
            ip -n "$mod" addr add "$DUVA_NET_MODULES_IP/24" dev veth-mod &&
            for n in $(seq 10 250); do echo "addr add 10.77.0.$n/32 dev veth-mod"; done |
            ip -n "$mod" -batch - &&
            ip -n "$cfg" link set veth-cfg up &&
            ip -n "$mod" link set veth-mod up &&
            _duva_netns_wait_up "$cfg" veth-cfg &&
            _duva_netns_wait_up "$mod" veth-mod
    } || {
        echo "duva-netns: could not set up the test network" >&2
        duva_netns_teardown
        return 1
    }
}

# The link takes a moment to come up after "set up"; datagrams sent before are lost.
_duva_netns_wait_up() {
    local ns=$1 dev=$2 i
    for i in $(seq 50); do
        [ "$(ip -n "$ns" -br link show "$dev" 2> /dev/null | awk '{print $2}')" = UP ] && return 0
        sleep 0.1
    done
    echo "duva-netns: $dev in $ns did not come up" >&2
    return 1
}

_duva_netns_kill_all() {
    local ns=$1 pids
    pids=$(ip netns pids "$ns" 2> /dev/null)
    [ -z "$pids" ] && return 0
    # shellcheck disable=SC2086 # one argument per process id
    kill -TERM $pids 2> /dev/null
    for _ in $(seq 20); do
        pids=$(ip netns pids "$ns" 2> /dev/null)
        [ -z "$pids" ] && return 0
        sleep 0.1
    done
    # shellcheck disable=SC2086
    kill -KILL $pids 2> /dev/null
}

# Ends every process in the two namespaces and deletes them. Safe to call more than once.
duva_netns_teardown() {
    local ns
    for ns in "${DUVA_NS_MODULES:-}" "${DUVA_NS_CONFIGURATOR:-}"; do
        [ -n "$ns" ] || continue
        if ip netns list 2> /dev/null | awk '{print $1}' | grep -qx -- "$ns"; then
            _duva_netns_kill_all "$ns"
            ip netns delete "$ns" 2> /dev/null
        fi
    done
}
