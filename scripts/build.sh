#!/usr/bin/env bash
# Configures and builds into build/ (or $BUILD_DIR): the targets named, or everything.
# BUILD_TESTING=ON or OFF (CTest's option) sets whether the tests are configured.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    ${BUILD_TESTING:+-DBUILD_TESTING=$BUILD_TESTING} > /dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$build" -j"$(nproc)" "${targets[@]}"
