#!/usr/bin/env bash
# wine-run.sh [--dll-path DIR:DIR...] PROGRAM.exe [ARGS...]: runs a Windows program of the
# cross build under Wine, as CMake's CMAKE_CROSSCOMPILING_EMULATOR for the Windows tests; the
# program finds DLLs in the folders given (Qt's, the MinGW runtime's).
# wine-run.sh --shell COMMAND [ARGS...]: runs a Linux command (a test script that runs Windows
# programs itself) in the same setting. Each run has its own:
#  - Wine prefix, a copy (hard links, and the registry copied) of the one wine-prefix.sh
#    prepared, so that its Wine server starts in the caller's network namespace and nothing
#    of one run reaches another;
#  - X display (Xvfb): without one Wine cannot make the hidden window Qt's event loop needs on
#    Windows, and timers never fire, even with QT_QPA_PLATFORM=offscreen;
#  - with DUVA_SIM_LAUNCHER_PROGRAM and DUVA_NS_MODULES set (an end-to-end test inside
#    testnet.sh), a duva-sim-launcher on loopback (DUVA_SIM_LAUNCHER tells the program where).
# Qt's messages go to standard error (QT_FORCE_STDERR_LOGGING), not to the Windows debugger.
# Qt Test's log goes to standard output for the same reason. Exits with the program's status.
set -u
if [ "${1:-}" = --dll-path ]; then
  # Wine takes Windows paths; drive Z: is the Linux root.
  IFS=: read -r -a dirs <<< "$2"
  WINEPATH=$(printf 'Z:%s;' "${dirs[@]}" | tr / '\\')
  export WINEPATH
  shift 2
fi
here=$(cd "$(dirname "$0")" && pwd)
template=${DUVA_WINE_TEMPLATE:-${XDG_CACHE_HOME:-$HOME/.cache}/duva/wine-template}
"$here/wine-prefix.sh" "$template" || exit 1

work=$(mktemp -d)
pids=()
cleanup() {
  WINEPREFIX=$work/prefix wineserver -k 2> /dev/null
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null; done
  wait 2> /dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

cp -al "$template" "$work/prefix"
# The Wine server rewrites these; the template's must stay as they are.
for f in "$work"/prefix/*.reg; do cp --remove-destination "$template/$(basename "$f")" "$f"; done
export WINEPREFIX=$work/prefix WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
export QT_FORCE_STDERR_LOGGING=1
# Wine keeps the Linux QT_* variables from Windows programs (they would mislead a Windows Qt);
# WINEQT_NAME reaches them as QT_NAME.
for name in $(compgen -e | grep '^QT_'); do export "WINE$name=${!name}"; done

# Waits up to 5 s for a file to have content, or for the process to end.
wait_for() {
  local path=$1 pid=$2
  for _ in $(seq 100); do
    [ -s "$path" ] && return 0
    kill -0 "$pid" 2> /dev/null || return 1
    sleep 0.05
  done
  return 1
}

# Only the local socket, and a display number Xvfb picks itself.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3> "$work/display" 2> "$work/xvfb.log" &
pids+=($!)
if ! wait_for "$work/display" "${pids[-1]}"; then
  echo "wine-run.sh: Xvfb did not start: $(tail -n 3 "$work/xvfb.log")" >&2
  exit 1
fi
export DISPLAY=":$(cat "$work/display")"

if [ -n "${DUVA_SIM_LAUNCHER_PROGRAM:-}" ] && [ -n "${DUVA_NS_MODULES:-}" ]; then
  for _ in 1 2 3; do
    port=$((20000 + RANDOM % 40000))
    "$DUVA_SIM_LAUNCHER_PROGRAM" "$port" > "$work/launcher.log" 2>&1 &
    pids+=($!)
    wait_for "$work/launcher.log" "${pids[-1]}" && grep -q listening "$work/launcher.log" && break
    port=""
  done
  if [ -z "$port" ]; then
    echo "wine-run.sh: duva-sim-launcher did not start: $(cat "$work/launcher.log")" >&2
    exit 1
  fi
  export DUVA_SIM_LAUNCHER=127.0.0.1:$port
fi

if [ "${1:-}" = --shell ]; then
  shift
  "$@"
else
  wine "$@"
fi
