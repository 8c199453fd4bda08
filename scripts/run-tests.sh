#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite inside a private network
# namespace, so that no test can send a datagram beyond loopback (or the test networks that
# the end-to-end tests make for themselves inside it).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
"$top/scripts/install-deps.sh" --test
BUILD_TESTING=ON "$top/scripts/build.sh"

if [ "$(id -u)" -eq 0 ]; then
  isolate=(unshare --net)
else
  isolate=(unshare --map-root-user --net)
fi
exec "${isolate[@]}" bash -c '
  set -e
  ip link set lo up
  cd "$1"
  exec ctest --output-on-failure --timeout 120 -j"$(nproc)"
' run-tests "$build"
