#!/usr/bin/env bash
# Runs a window test once more on a real desktop whose window manager draws a frame around
# the window, where the window's outer widths include that frame:
#   openbox   Xvfb and openbox (the default), which states its frame on the window;
#   wayland   weston on Xvfb, the test on Qt's Wayland platform with Qt's own decorations;
#   xwayland  weston on Xvfb, the test on weston's Xwayland, whose window manager states no
#             frame and draws a shadow around the window.
# weston runs on its X11 backend inside Xvfb: that one gives it a seat with a keyboard, so
# that the window can be activated (the headless backend has none).
# Usage: under-window-manager.sh [--desktop openbox|wayland|xwayland] TEST-BINARY [TEST-FUNCTION...]
# Exits 77 (skipped) where a program is missing or cannot start.
set -u
skip() {
  echo "SKIP: $*"
  exit 77
}
desktop=openbox
if [ "${1:-}" = --desktop ]; then
  desktop=$2
  shift 2
fi
case $desktop in
  openbox) needed=(Xvfb openbox) ;;
  wayland) needed=(Xvfb weston) ;;
  xwayland) needed=(Xvfb weston Xwayland) ;;
  *) echo "under-window-manager.sh: unknown desktop $desktop" >&2; exit 2 ;;
esac
for program in "${needed[@]}"; do
  command -v "$program" >/dev/null || skip "$program is not installed"
done

work=$(mktemp -d)
pids=()
cleanup() {
  # The window manager first, the X server it runs on last.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
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

if [ "$desktop" = openbox ]; then
  # openbox runs its start-up command once it manages the screen.
  HOME=$work openbox --sm-disable --startup "touch $work/managing" 2>"$work/openbox.log" &
  pids+=($!)
  wait_for -e "$work/managing" "${pids[1]}"
  [ -e "$work/managing" ] || skip "openbox did not start: $(tail -n 3 "$work/openbox.log")"
  QT_QPA_PLATFORM=xcb "$@"
  exit
fi

# weston's runtime folder and socket are the test's own.
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
xwayland=()
[ "$desktop" = xwayland ] && xwayland=(--xwayland)
weston --backend=x11-backend.so --use-pixman --no-config --socket=wayland-test \
  --width=1280 --height=1000 "${xwayland[@]}" --log="$work/weston.log" 2>&1 &
pids+=($!)
wait_for -e "$XDG_RUNTIME_DIR/wayland-test" "${pids[1]}"
[ -e "$XDG_RUNTIME_DIR/wayland-test" ] || skip "weston did not start: $(tail -n 3 "$work/weston.log")"

if [ "$desktop" = wayland ]; then
  [ -n "$(find /usr/lib/*/qt6/plugins/platforms -name 'libqwayland*' 2>/dev/null)" ] ||
    skip "Qt's Wayland platform is not installed (qt6-wayland)"
  # Under AddressSanitizer, whole stacks: Mesa's leak at start-up is known by its callers
  # alone (scripts/lsan.supp).
  [ -n "${ASAN_OPTIONS:-}" ] && export ASAN_OPTIONS="$ASAN_OPTIONS:fast_unwind_on_malloc=0"
  env -u DISPLAY WAYLAND_DISPLAY=wayland-test QT_QPA_PLATFORM=wayland "$@"
  exit
fi

# Xwayland needs the X socket folder; weston names the display it listens on in its log.
[ -d /tmp/.X11-unix ] || { mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix; }
for _ in $(seq 100); do
  grep -q "xserver listening on display" "$work/weston.log" && break
  sleep 0.05
done
display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log" | tail -n 1)
[ -n "$display" ] || skip "weston's Xwayland did not start: $(tail -n 3 "$work/weston.log")"
env -u WAYLAND_DISPLAY DISPLAY="$display" QT_QPA_PLATFORM=xcb "$@"
