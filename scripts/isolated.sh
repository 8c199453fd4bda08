#!/usr/bin/env bash
# Runs a command inside a private network namespace with only loopback up, so that nothing it
# sends can leave this computer. Without root, a user namespace stands in for root.
set -euo pipefail
if [ "$(id -u)" -eq 0 ]; then
  isolate=(unshare --net)
else
  isolate=(unshare --map-root-user --net)
fi
exec "${isolate[@]}" bash -c 'ip link set lo up && exec "$@"' isolated "$@"
