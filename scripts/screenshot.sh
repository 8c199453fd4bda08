#!/usr/bin/env bash
# Draws the real window and writes its picture to docs/screenshot.png (or the file named):
#
#   scripts/screenshot.sh [FILE]
#
# Installs what is missing and builds, then makes a private test network (see
# tests/e2e/netns-lib.sh) with five simulated modules, and in the configurator's side of it
# starts an X server of its own (Xvfb) with openbox, the configurator, and a pointer that
# clicks "Procurar módulos na rede" and then the second module listed. The picture is the
# window with openbox's frame. Nothing reaches the real network or the real display. Needs
# root: asks for sudo. Run it again whenever the window changes.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo > /dev/null || { echo "screenshot: run this as root" >&2; exit 1; }
    exec sudo --preserve-env=BUILD_DIR "$0" "$@"
fi
out=$(realpath -m "${1:-$top/docs/screenshot.png}")
build=${BUILD_DIR:-$top/build}

"$top/scripts/install-deps.sh"
"$top/scripts/install-deps.sh" --screenshot
BUILD_DIR="$build" "$top/scripts/build.sh" duva-configurador duva-sim

# shellcheck source=../tests/e2e/netns-lib.sh
source "$top/tests/e2e/netns-lib.sh"
duva_netns_possible || { echo "screenshot: $DUVA_NETNS_WHY" >&2; exit 1; }
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

ip netns exec "$DUVA_NS_MODULES" "$build/tools/sim/duva-sim" --count 5 > "$work/sim.log" &

# Everything on the display runs in the configurator's namespace, where the X server's
# socket is too.
in_cfg() { ip netns exec "$DUVA_NS_CONFIGURATOR" "$@"; }
# Waits up to 10 s for a command to succeed.
wait_until() {
    for _ in $(seq 200); do
        "$@" > /dev/null 2>&1 && return 0
        sleep 0.05
    done
    echo "screenshot: timed out waiting for: $*" >&2
    return 1
}

in_cfg Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3> "$work/display" 2> "$work/xvfb.log" &
wait_until test -s "$work/display"
export DISPLAY=":$(cat "$work/display")"
HOME=$work in_cfg openbox --sm-disable --startup "touch $work/managing" 2> "$work/openbox.log" &
wait_until test -e "$work/managing"

# In a folder of its own, where the service functions would look for their version file.
mkdir "$work/run"
(cd "$work/run" && exec ip netns exec "$DUVA_NS_CONFIGURATOR" env QT_QPA_PLATFORM=xcb \
    "$build/app/duva-configurador") 2> "$work/configurator.log" &
wait_until in_cfg xdotool search --onlyvisible --name "Configurador"
window=$(in_cfg xdotool search --onlyvisible --name "Configurador" | head -n 1)
in_cfg xdotool windowactivate --sync "$window"

# "Procurar módulos na rede" (in its panel, 39, 83 from the window's corner), then the
# second line of the module list (26, 130) once every module has answered. The list's
# order is the order of the answers; the picture shows whichever came second.
in_cfg xdotool mousemove --window "$window" 100 90 click 1
answered() { [ "$(grep -c 'send to' "$work/sim.log")" -ge 5 ]; }
wait_until answered
sleep 0.5
in_cfg xdotool mousemove --window "$window" 80 152 click 1
# The pointer out of the picture, and a moment for the fields to be drawn.
in_cfg xdotool mousemove 1000 750
sleep 0.5

mkdir -p "$(dirname "$out")"
in_cfg import -frame -window "$window" "$work/shot.png"
# No time stamps or other metadata, so that an unchanged window gives the same file.
convert "$work/shot.png" -strip -define png:exclude-chunks=date,time "$out"
[ -n "${SUDO_USER:-}" ] && chown "$SUDO_USER:" "$out" "$(dirname "$out")"
echo "screenshot: $out"
