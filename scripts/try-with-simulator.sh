#!/usr/bin/env bash
# Tries the configurator against simulated modules without touching the real network.
#
#   scripts/try-with-simulator.sh [duva-sim options...]      (default: --count 5)
#
# Installs what is missing and builds, then makes a private test network of two network
# namespaces joined by a virtual cable (10.77.0.0/24, see tests/e2e/netns-lib.sh): duva-sim
# runs on one side with the modules 10.77.0.10, .11, ... and logs every datagram here; the
# configurator runs on the other side (10.77.0.1) on your display. Closing the configurator
# (or Ctrl-C) ends the simulator and removes the network. Needs root: asks for sudo.
# Try "build/tools/sim/duva-sim --help" for the simulator's options (faults, modes, ...).
#
# For testing this script: DUVA_TRY_PROGRAM runs another program in the configurator's
# place, and DUVA_TRY_NO_BUILD=1 skips installing and building.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

if [ "$(id -u)" -ne 0 ]; then
    command -v sudo > /dev/null || { echo "try-with-simulator: run this as root" >&2; exit 1; }
    exec sudo --preserve-env=DISPLAY,XAUTHORITY,WAYLAND_DISPLAY,XDG_RUNTIME_DIR,DBUS_SESSION_BUS_ADDRESS,BUILD_DIR,DUVA_TRY_PROGRAM,DUVA_TRY_NO_BUILD \
        "$0" "$@"
fi

build=${BUILD_DIR:-$top/build}
# The person at the display: the configurator runs as them, not as root.
user=${SUDO_USER:-}
[ "$user" = root ] && user=""
as_user() {
    if [ -n "$user" ]; then
        runuser -u "$user" -- "$@"
    else
        "$@"
    fi
}

if [ "${DUVA_TRY_NO_BUILD:-0}" != 1 ]; then
    "$top/scripts/install-deps.sh"
    # Built as the user, so that later builds without sudo can write to the build folder.
    as_user env BUILD_DIR="$build" "$top/scripts/build.sh" duva-configurador duva-sim
fi
sim=$build/tools/sim/duva-sim
program=${DUVA_TRY_PROGRAM:-$build/app/duva-configurador}
for f in "$sim" "$program"; do
    [ -x "$f" ] || { echo "try-with-simulator: $f is missing; build first" >&2; exit 1; }
done
[ $# -gt 0 ] || set -- --count 5

# shellcheck source=../tests/e2e/netns-lib.sh
source "$top/tests/e2e/netns-lib.sh"
duva_netns_possible || { echo "try-with-simulator: $DUVA_NETNS_WHY" >&2; exit 1; }
cleanup() {
    trap - EXIT INT TERM
    duva_netns_teardown
}
trap cleanup EXIT
trap 'cleanup; exit 130' INT
trap 'cleanup; exit 143' TERM
duva_netns_reap_stale
duva_netns_setup try

ip netns exec "$DUVA_NS_MODULES" "$sim" "$@" &
sleep 0.3
if ! kill -0 $! 2> /dev/null; then
    echo "try-with-simulator: duva-sim did not start" >&2
    exit 1
fi

echo "try-with-simulator: configurator at $DUVA_NET_CONFIGURATOR_IP; modules from $DUVA_NET_FIRST_MODULE_IP answer searches to $DUVA_NET_BROADCAST"
display_env=()
for v in DISPLAY XAUTHORITY WAYLAND_DISPLAY XDG_RUNTIME_DIR DBUS_SESSION_BUS_ADDRESS; do
    [ -n "${!v:-}" ] && display_env+=("$v=${!v}")
done
# In the background, so that Ctrl-C and TERM reach the traps at once.
# It runs in this folder, where the service functions keep their version file.
ip netns exec "$DUVA_NS_CONFIGURATOR" \
    ${user:+runuser -u "$user" --} env "${display_env[@]}" "$program" &
wait $! || true
