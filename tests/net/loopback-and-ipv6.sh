#!/usr/bin/env bash
# loopback-and-ipv6.sh COMMAND...: runs COMMAND in network, host-name and mount namespaces of
# its own, where the computer is named duva-host, its hosts file maps that name to 127.0.1.1
# alone (as Debian's does), and the only addresses are loopback's and one IPv6 address on a
# dummy interface. DUVA_HOST_ADDRESS tells COMMAND what the name resolves to. Skipped (77)
# where namespaces cannot be made.
set -euo pipefail
if ! unshare --net --uts --mount true 2> /dev/null; then
  echo "SKIP: no network, host-name and mount namespaces here"
  exit 77
fi
hosts=$(mktemp)
trap 'rm -f "$hosts"' EXIT
echo "127.0.1.1 duva-host" > "$hosts"
# Not exec: the trap removes the hosts file afterwards.
DUVA_HOST_ADDRESS=127.0.1.1 unshare --net --uts --mount bash -c '
  set -e
  hostname duva-host
  mount --bind "$1" /etc/hosts
  ip link set lo up
  # On a dummy interface where there are such, else on loopback: either way an address that
  # counts as configured where only IPv4 and IPv6 addresses other than loopback'"'"'s count.
  if ip link add duva0 type dummy 2> /dev/null && ip link set duva0 up; then
    ip -6 addr add fd00:77::5/64 dev duva0 nodad
  else
    ip -6 addr add fd00:77::5/128 dev lo nodad
  fi
  shift
  "$@"' namespaces "$hosts" "$@"
