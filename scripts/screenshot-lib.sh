# shellcheck shell=bash disable=SC2154 # name, default_out and targets: set by the sourcing script
# What the screenshot scripts share, sourced by them with `name` (for messages),
# `default_out` (the picture, from the top folder) and `targets` (what to build besides
# duva-sim) set: runs again as root through sudo, installs what is missing and builds, and
# makes a private test network (tests/e2e/netns-lib.sh), removed with a work folder on exit.
# Then start_display starts an X server of its own with openbox in the configurator's side of
# that network, and save_picture writes a window's picture with its frame.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo > /dev/null || { echo "$name: run this as root" >&2; exit 1; }
    exec sudo --preserve-env=BUILD_DIR "$0" "$@"
fi
out=$(realpath -m "${1:-$top/$default_out}")
build=${BUILD_DIR:-$top/build}

"$top/scripts/install-deps.sh"
"$top/scripts/install-deps.sh" --screenshot
BUILD_DIR="$build" "$top/scripts/build.sh" "${targets[@]}" duva-sim

# shellcheck source=tests/e2e/netns-lib.sh
source "$top/tests/e2e/netns-lib.sh"
duva_netns_possible || { echo "$name: $DUVA_NETNS_WHY" >&2; exit 1; }
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

# Everything on the display runs in the configurator's namespace, where the X server's
# socket is too.
in_cfg() { ip netns exec "$DUVA_NS_CONFIGURATOR" "$@"; }
# Waits up to 10 s for a command to succeed.
wait_until() {
    for _ in $(seq 200); do
        "$@" > /dev/null 2>&1 && return 0
        sleep 0.05
    done
    echo "$name: timed out waiting for: $*" >&2
    return 1
}

# start_display WIDTHxHEIGHT: Xvfb and openbox, with DISPLAY exported.
start_display() {
    in_cfg Xvfb -displayfd 3 -nolisten tcp -screen 0 "$1x24" 3> "$work/display" \
        2> "$work/xvfb.log" &
    wait_until test -s "$work/display"
    DISPLAY=":$(cat "$work/display")"
    export DISPLAY
    HOME=$work in_cfg openbox --sm-disable --startup "touch $work/managing" \
        2> "$work/openbox.log" &
    wait_until test -e "$work/managing"
}

# save_picture WINDOW: the window with openbox's frame, in $out.
save_picture() {
    mkdir -p "$(dirname "$out")"
    in_cfg import -frame -window "$1" "$work/shot.png"
    # No time stamps or other metadata, so that an unchanged window gives the same file.
    convert "$work/shot.png" -strip -define png:exclude-chunks=date,time "$out"
    if [ -n "${SUDO_USER:-}" ]; then chown "$SUDO_USER:" "$out" "$(dirname "$out")"; fi
    echo "$name: $out"
}
