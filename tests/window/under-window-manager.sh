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

# Xvfb picks a free display itself and writes its number; only the local socket.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "${pids[0]}" 2>/dev/null || break
  sleep 0.05
done
[ -s "$work/display" ] || skip "Xvfb did not start: $(tail -n 3 "$work/xvfb.log")"
export DISPLAY=":$(cat "$work/display")"

# openbox runs its start-up command once it manages the screen.
HOME=$work openbox --sm-disable --startup "touch $work/managing" 2>"$work/openbox.log" &
pids+=($!)
for _ in $(seq 100); do
  [ -e "$work/managing" ] && break
  kill -0 "${pids[1]}" 2>/dev/null || break
  sleep 0.05
done
[ -e "$work/managing" ] || skip "openbox did not start: $(tail -n 3 "$work/openbox.log")"

QT_QPA_PLATFORM=xcb "$@"
