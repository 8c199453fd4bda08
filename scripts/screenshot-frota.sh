#!/usr/bin/env bash
# shellcheck disable=SC2034 # name, default_out and targets are read by screenshot-lib.sh
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
name=screenshot-frota
default_out=docs/frota.png
targets=(duva-frota)
# shellcheck source=scripts/screenshot-lib.sh
source "$(dirname "$0")/screenshot-lib.sh"

# Five modules from 10.77.0.10, and one more at 10.77.0.12: that address is marked.
ip netns exec "$DUVA_NS_MODULES" "$build/tools/sim/duva-sim" --count 5 --share-port \
    > "$work/sim.log" &
ip netns exec "$DUVA_NS_MODULES" "$build/tools/sim/duva-sim" --count 1 --first-ip 10.77.0.12 \
    --serial 2207 --server --local-port 6100 --share-port > "$work/sim2.log" &

start_display 1280x800

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

save_picture "$window"
