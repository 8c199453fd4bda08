#!/usr/bin/env bash
# Runs a window test once more on a real X server whose window manager draws a frame around
# the window (Xvfb and openbox), where the window's outer widths include that frame.
# Usage: under-window-manager.sh TEST-BINARY [TEST-FUNCTION...]
# Exits 77 (skipped) where Xvfb or openbox is missing or cannot start.
set -u
skip() {
  echo "SKIP: $*"
  exit 77
}
for program in Xvfb openbox; do
  command -v "$program" >/dev/null || skip "$program is not installed"
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Waits up to 5 s for a file test (-s, -e) on path to hold, or for the process to end.
wait_for() {
  local test=$1 path=$2 pid=$3
  for _ in $(seq 100); do
    [ "$test" "$path" ] && return
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.05
  done
}

# Xvfb picks a free display itself and writes its number; only the local socket.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_for -s "$work/display" "${pids[0]}"
[ -s "$work/display" ] || skip "Xvfb did not start: $(tail -n 3 "$work/xvfb.log")"
export DISPLAY=":$(cat "$work/display")"

# openbox runs its start-up command once it manages the screen.
HOME=$work openbox --sm-disable --startup "touch $work/managing" 2>"$work/openbox.log" &
pids+=($!)
wait_for -e "$work/managing" "${pids[1]}"
[ -e "$work/managing" ] || skip "openbox did not start: $(tail -n 3 "$work/openbox.log")"

QT_QPA_PLATFORM=xcb "$@"
