#!/usr/bin/env bash
# Builds duva-bench and runs it inside private network namespaces, so that no datagram of the
# benchmark leaves this computer. The window's rows need loopback alone. The duvactl rows
# need a subnet broadcast: as root, the whole bench runs in the configurator's side of the
# two-namespace test network (tests/e2e/netns-lib.sh), made here and removed after, with
# duva-sim's fleet on the modules' side. Without root, or without duvactl, the bench runs
# with loopback alone and a note under the table says which rows it skipped and why.
# Arguments go to duva-bench (--runs N, at least 5; --only PART).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
"$top/scripts/install-deps.sh"
BUILD_DIR="$build" "$top/scripts/build.sh" duva-bench duva-sim
duvactl=""
if cmake --build "$build" --target help | grep -w duvactl > /dev/null; then
  BUILD_DIR="$build" "$top/scripts/build.sh" duvactl
  duvactl=$(find "$build" -name duvactl -type f -executable -print -quit)
fi

export QT_QPA_PLATFORM=offscreen
# Qt warns once per program when this is unset; the start-up rows start many.
runtime=$(mktemp -d)
export XDG_RUNTIME_DIR=$runtime

# shellcheck source=../tests/e2e/netns-lib.sh
source "$top/tests/e2e/netns-lib.sh"
if ! duva_netns_possible; then
  echo "bench.sh: no test network ($DUVA_NETNS_WHY): the duvactl rows are skipped" >&2
  status=0
  "$top/scripts/isolated.sh" "$build/bench/duva-bench" --duvactl "$duvactl" "$@" || status=$?
  rm -rf "$runtime"
  exit "$status"
fi
finish() {
  local status=$1
  trap - EXIT INT TERM
  duva_netns_teardown
  rm -rf "$runtime"
  exit "$status"
}
trap 'finish $?' EXIT
trap 'finish 130' INT
trap 'finish 143' TERM
duva_netns_reap_stale
duva_netns_setup bench
ip netns exec "$DUVA_NS_CONFIGURATOR" "$build/bench/duva-bench" --duvactl "$duvactl" \
  --sim "$build/tools/sim/duva-sim" --modules-netns "$DUVA_NS_MODULES" "$@"
