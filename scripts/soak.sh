#!/usr/bin/env bash
# Soak run: the real window (offscreen) against duva-sim playing a fleet of 20 modules, in a
# test network of two namespaces that this script makes and removes (tests/e2e/netns-lib.sh).
# Search cycles and write cycles for a few minutes, with a flood in the middle: for 10 s,
# 10,000 datagrams per second of every size class and hostile 64-byte records while the
# window searches. Prints replies lost, writes not confirmed, the window's answer time during
# the flood and its resident memory; exits non-zero on a lost reply, a write not confirmed
# or memory growth over 10 %. Needs root (network namespaces).
#   ./scripts/soak.sh [--minutes N] [--searches-per-write N] [--flood-rate N]
#                     [--flood-seconds N] [--fleet N]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
minutes=3
fleet=20
args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --minutes) minutes=$2; args+=("$1" "$2"); shift 2 ;;
    --fleet) fleet=$2; shift 2 ;;
    --searches-per-write | --flood-rate | --flood-seconds) args+=("$1" "$2"); shift 2 ;;
    -h | --help) sed -n '2,11p' "$0"; exit 0 ;;
    *) echo "soak.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
case "$minutes$fleet" in *[!0-9]*) echo "soak.sh: numbers only" >&2; exit 2 ;; esac

"$top/scripts/install-deps.sh"
BUILD_TESTING=ON BUILD_DIR="$build" "$top/scripts/build.sh" duva-soak duva-sim

# shellcheck source=../tests/e2e/netns-lib.sh
source "$top/tests/e2e/netns-lib.sh"
if ! duva_netns_possible; then
  echo "soak.sh: $DUVA_NETNS_WHY" >&2
  exit 2
fi
finish() {
  local status=$1
  trap - EXIT INT TERM
  duva_netns_teardown
  exit "$status"
}
trap 'finish $?' EXIT
trap 'finish 130' INT
trap 'finish 143' TERM
duva_netns_reap_stale
duva_netns_setup soak
export DUVA_NS_MODULES DUVA_NS_CONFIGURATOR

log="$build/soak-sim.log"
ip netns exec "$DUVA_NS_MODULES" "$build/tools/sim/duva-sim" --count "$fleet" \
  --first-ip "$DUVA_NET_FIRST_MODULE_IP" --server > "$log" 2>&1 &
for _ in $(seq 50); do
  grep -q "listening" "$log" && break
  sleep 0.1
done
grep -q "listening" "$log" || { cat "$log" >&2; exit 1; }

# The window's own limit: the run plus time for the flood and the last write to finish.
ip netns exec "$DUVA_NS_CONFIGURATOR" timeout --kill-after=5 $((minutes * 60 + 120)) \
  "$build/tests/soak/duva-soak" --fleet "$fleet" --first-ip "$DUVA_NET_FIRST_MODULE_IP" "${args[@]}"
