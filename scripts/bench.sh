#!/usr/bin/env bash
# Builds duva-bench and runs it inside a private network namespace with only loopback up, as
# the tests run, so that no datagram of the benchmark leaves this computer. Arguments go to
# duva-bench (--runs N, at least 5).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
"$top/scripts/install-deps.sh"
BUILD_DIR="$build" "$top/scripts/build.sh" duva-bench
export QT_QPA_PLATFORM=offscreen
# Qt warns once per program when this is unset; the start-up rows start many.
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime
"$top/scripts/isolated.sh" "$build/bench/duva-bench" "$@"
