#!/usr/bin/env bash
# Builds duva-bench and runs it inside a private network namespace with only loopback up, as
# the tests run, so that no datagram of the benchmark leaves this computer. Arguments go to
# duva-bench (--runs N, at least 5).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
"$top/scripts/install-deps.sh"
BUILD_DIR="$build" "$top/scripts/build.sh" duva-bench
QT_QPA_PLATFORM=offscreen exec "$top/scripts/isolated.sh" "$build/bench/duva-bench" "$@"
