#!/usr/bin/env bash
# Builds duva-bench and runs it inside a private network namespace with only loopback up, as
# the tests run, so that no datagram of the benchmark leaves this computer. Arguments go to
# duva-bench (--runs N, at least 5).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
"$top/scripts/install-deps.sh"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" -j"$(nproc)" --target duva-bench

if [ "$(id -u)" -eq 0 ]; then
  isolate=(unshare --net)
else
  isolate=(unshare --map-root-user --net)
fi
exec "${isolate[@]}" bash -c '
  set -e
  ip link set lo up
  export QT_QPA_PLATFORM=offscreen
  exec "$1/bench/duva-bench" "${@:2}"
' bench "$build" "$@"
