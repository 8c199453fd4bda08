#!/usr/bin/env bash
# The Windows leg: builds Qt for Windows once (when its cache is missing), cross-builds the
# configurator with its tests, makes the zip and the installer, and runs the Windows tests
# under Wine inside a private network namespace: the protocol, endpoint and window tests, the
# end-to-end tests of both windows against the Linux duva-sim in the test network, and the
# installer's test.
# Builds the Linux duva-sim it needs in build/ (or $BUILD_DIR).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
winbuild=${WIN_BUILD_DIR:-$top/build-windows}
"$top/scripts/install-deps.sh" --test
"$top/scripts/install-deps.sh" --windows-test
BUILD_TESTING=ON BUILD_DIR="$build" "$top/scripts/build.sh" duva-sim duva-sim-launcher
BUILD_TESTING=ON DUVA_HOST_BUILD="$build" WIN_BUILD_DIR="$winbuild" \
  "$top/scripts/package-windows.sh"
cd "$winbuild"
exec "$top/scripts/isolated.sh" ctest --output-on-failure --timeout 300 -j"$(nproc)"
