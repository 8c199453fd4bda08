#!/usr/bin/env bash
# Installs what is missing, builds, and starts the configurator.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" duva-configurador # the program alone, no tests
exec "${BUILD_DIR:-$top/build}/app/duva-configurador" "$@"
