#!/usr/bin/env bash
# shellcheck disable=SC2034 # name, default_out and targets are read by screenshot-lib.sh
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
name=screenshot
default_out=docs/screenshot.png
targets=(duva-configurador)
# shellcheck source=scripts/screenshot-lib.sh
source "$(dirname "$0")/screenshot-lib.sh"

ip netns exec "$DUVA_NS_MODULES" "$build/tools/sim/duva-sim" --count 5 > "$work/sim.log" &

start_display 1024x768

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

save_picture "$window"
