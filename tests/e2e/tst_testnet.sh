#!/usr/bin/env bash
# Checks that testnet.sh (given as $1) hands over its test network as described and leaves
# nothing behind: after a normal end, after a failure, and when it is stopped by a signal.
set -u
testnet=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/netns-lib.sh"
duva_netns_possible || { echo "SKIP: $DUVA_NETNS_WHY"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The program run inside: reports what it sees, leaves a process in the modules' namespace
# (which testnet.sh must end), then exits with the status asked for, or waits to be stopped.
cat > "$work/inside.sh" << 'INSIDE'
#!/usr/bin/env bash
out=$1 status=$2
{
    echo "ns=$(ip netns identify $$)"
    echo "modules=$DUVA_NS_MODULES"
    echo "sim=$DUVA_SIM"
    ip -br addr show veth-cfg
    ip -n "$DUVA_NS_MODULES" -br addr show veth-mod | tr ' ' '\n' | grep -c '^10\.77\.0\.'
    ip neigh flush all 2> /dev/null
    # A module address must be reachable (ARP answered) from here.
    ip netns exec "$DUVA_NS_MODULES" timeout 5 bash -c 'exec 3<>/dev/udp/10.77.0.1/9; sleep 30' &
    echo > /dev/udp/10.77.0.250/9
    sleep 0.3
    ip neigh show 10.77.0.250
} > "$out" 2>&1
ip netns exec "$DUVA_NS_MODULES" sleep 287.5 &
if [ "$status" = wait ]; then
    echo ready >> "$out"
    sleep 287.5
fi
exit "$status"
INSIDE
chmod +x "$work/inside.sh"

left_behind() {
    ip netns list | awk '{print $1}' | grep -E "^duva-test-$1-(cfg|mod)$"
}

# 1. Normal end, and the network as the program sees it.
DUVA_SIM=/some/duva-sim "$testnet" "$work/inside.sh" "$work/out1" 0 &
pid=$!
wait $pid
status=$?
[ $status -eq 0 ] || fail "status $status after a normal end"
grep -q "^ns=duva-test-$pid-cfg$" "$work/out1" || fail "not run in the configurator's namespace"
grep -q "^modules=duva-test-$pid-mod$" "$work/out1" || fail "DUVA_NS_MODULES not exported"
grep -q "^sim=/some/duva-sim$" "$work/out1" || fail "DUVA_SIM not passed on"
grep -q "10.77.0.1/24" "$work/out1" || fail "configurator's address missing"
grep -qx "242" "$work/out1" || fail "the modules' side lacks 10.77.0.2 and the 241 module addresses"
grep -q "10.77.0.250 dev veth-cfg lladdr" "$work/out1" || fail "module address not answered by ARP"
[ -z "$(left_behind $pid)" ] || fail "namespaces left after a normal end"
pgrep -f "sleep 287.5" > /dev/null && fail "a process in the modules' namespace survived"

# 2. The program's status is passed on.
"$testnet" "$work/inside.sh" "$work/out2" 3
status=$?
[ $status -eq 3 ] || fail "status $status instead of 3"

# 3. Stopped by SIGTERM (as the test runner does) while the program runs.
"$testnet" "$work/inside.sh" "$work/out3" wait &
pid=$!
for _ in $(seq 100); do
    grep -q ready "$work/out3" 2> /dev/null && break
    sleep 0.1
done
kill -TERM $pid
wait $pid
status=$?
[ $status -eq 143 ] || fail "status $status after SIGTERM instead of 143"
[ -z "$(left_behind $pid)" ] || fail "namespaces left after SIGTERM"
sleep 0.2
pgrep -f "sleep 287.5" > /dev/null && fail "a process survived SIGTERM"

# 4. Namespaces of a run that was killed outright are removed by the next run.
ip netns add "duva-test-999999-cfg"
"$testnet" true
ip netns list | grep -q "duva-test-999999-cfg" && fail "stale namespace not reaped"
ip netns delete "duva-test-999999-cfg" 2> /dev/null

# 5. Where a namespace can be made but not entered (a plain chroot), the test is skipped.
mkdir "$work/bin"
cat > "$work/bin/ip" << STUB
#!/usr/bin/env bash
if [ "\$1 \$2" = "netns exec" ]; then
    echo "mount --make-rslave /: Invalid argument" >&2
    exit 1
fi
exec $(command -v ip) "\$@"
STUB
chmod +x "$work/bin/ip"
out=$(PATH="$work/bin:$PATH" "$testnet" true)
status=$?
[ $status -eq 77 ] || fail "status $status instead of 77 where namespaces cannot be entered"
grep -q "cannot enter a network namespace" <<< "$out" || fail "no reason given for the skip: $out"

[ $failures -eq 0 ] && echo "PASS: testnet.sh"
exit $((failures > 0))
