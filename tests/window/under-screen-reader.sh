#!/usr/bin/env bash
# Runs a window test with a screen reader's view of it: in a private network namespace, on a
# real X server with a window manager (under-window-manager.sh), with a session bus of its own
# that carries the accessibility bus, and with Qt's AT-SPI bridge on. The test runs the AT-SPI
# client that DUVA_SCREEN_READER names (screen-reader.py unless the caller names another).
# With --testnet, the private namespace is the configurator's side of a test network
# (tests/e2e/testnet.sh), where the test can start duva-sim.
# Usage: under-screen-reader.sh [--testnet] TEST-BINARY [TEST-FUNCTION...]
# Exits 77 (skipped) where the session bus or the AT-SPI client is missing.
set -u
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
skip() {
  echo "SKIP: $*"
  exit 77
}
command -v dbus-run-session >/dev/null || skip "dbus-run-session is not installed"
[ -x /usr/libexec/at-spi-bus-launcher ] || skip "at-spi2-core is not installed"
# Debian's own interpreter, which python3-pyatspi installs into.
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is not installed"

network=("$top/scripts/isolated.sh")
if [ "${1:-}" = --testnet ]; then
  network=("$top/tests/e2e/testnet.sh")
  shift
fi
export DUVA_SCREEN_READER="${DUVA_SCREEN_READER:-$here/screen-reader.py}"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# The X server comes first, so that the accessibility bus started from the session bus knows
# it: the client's keys go through it.
exec "${network[@]}" "$here/under-window-manager.sh" dbus-run-session -- "$@"
