#!/usr/bin/env bash
# Draws the real fleet window, in Portuguese, and writes its picture to docs/frota.png (or the
# file named):
#
#   scripts/screenshot-frota.sh [FILE]
#
# As scripts/screenshot.sh does for the configurator: installs what is missing and builds,
# then makes a private test network (see tests/e2e/netns-lib.sh) with six simulated modules,
# two of them answering from one address, and in the configurator's side of it starts an X
# server of its own (Xvfb) with openbox and duva-frota on a Portuguese system, and presses F5
# ("Procurar"). The picture is the window with openbox's frame once the search is over.
# Nothing reaches the real network or the real display. Needs root: asks for sudo. Run it
# again whenever the window changes.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo > /dev/null || { echo "screenshot-frota: run this as root" >&2; exit 1; }
    exec sudo --preserve-env=BUILD_DIR "$0" "$@"
fi
out=$(realpath -m "${1:-$top/docs/frota.png}")
build=${BUILD_DIR:-$top/build}

"$top/scripts/install-deps.sh"
"$top/scripts/install-deps.sh" --screenshot
BUILD_DIR="$build" "$top/scripts/build.sh" duva-frota duva-sim

# shellcheck source=../tests/e2e/netns-lib.sh
source "$top/tests/e2e/netns-lib.sh"
duva_netns_possible || { echo "screenshot-frota: $DUVA_NETNS_WHY" >&2; exit 1; }
work=$(mktemp -d)
cleanup() {
    trap - EXIT INT TERM
    duva_netns_teardown
    rm -rf "$work"
}
trap cleanup EXIT
trap 'cleanup; exit 130' INT
trap 'cleanup; exit 143' TERM
duva_netns_reap_stale
duva_netns_setup shot

# Five modules from 10.77.0.10, and one more at 10.77.0.12: that address is marked.
ip netns exec "$DUVA_NS_MODULES" "$build/tools/sim/duva-sim" --count 5 --share-port \
    > "$work/sim.log" &
ip netns exec "$DUVA_NS_MODULES" "$build/tools/sim/duva-sim" --count 1 --first-ip 10.77.0.12 \
    --serial 2207 --server --local-port 6100 --share-port > "$work/sim2.log" &

in_cfg() { ip netns exec "$DUVA_NS_CONFIGURATOR" "$@"; }
# Waits up to 10 s for a command to succeed.
wait_until() {
    for _ in $(seq 200); do
        "$@" > /dev/null 2>&1 && return 0
        sleep 0.05
    done
    echo "screenshot-frota: timed out waiting for: $*" >&2
    return 1
}

in_cfg Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x800x24 3> "$work/display" 2> "$work/xvfb.log" &
wait_until test -s "$work/display"
export DISPLAY=":$(cat "$work/display")"
HOME=$work in_cfg openbox --sm-disable --startup "touch $work/managing" 2> "$work/openbox.log" &
wait_until test -e "$work/managing"

(cd "$work" && exec ip netns exec "$DUVA_NS_CONFIGURATOR" env -u LC_ALL -u LC_MESSAGES \
    -u LANGUAGE LANG=pt_BR.UTF-8 QT_QPA_PLATFORM=xcb "$build/frota/duva-frota") \
    2> "$work/frota.log" &
wait_until in_cfg xdotool search --onlyvisible --name "Frota DUVA"
window=$(in_cfg xdotool search --onlyvisible --name "Frota DUVA" | head -n 1)
in_cfg xdotool windowactivate --sync "$window"

# "Procurar" (F5); the search asks again while new modules answer, then stops: a moment
# after the last request the status line gives the count.
in_cfg xdotool key F5
answered() { [ "$(grep -c 'send to' "$work/sim.log")" -ge 5 ] && grep -q 'send to' "$work/sim2.log"; }
wait_until answered
sleep 5
# The pointer out of the picture.
in_cfg xdotool mousemove 1270 790
sleep 0.5

mkdir -p "$(dirname "$out")"
in_cfg import -frame -window "$window" "$work/shot.png"
# No time stamps or other metadata, so that an unchanged window gives the same file.
convert "$work/shot.png" -strip -define png:exclude-chunks=date,time "$out"
[ -n "${SUDO_USER:-}" ] && chown "$SUDO_USER:" "$out" "$(dirname "$out")"
echo "screenshot-frota: $out"
